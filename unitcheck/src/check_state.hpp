// What a UnitCheck keeps between units: its places, the section indexes and
// build-menu listings read on first use, one texture lookup per place, and
// every model read so far.
#pragma once

#include "place_files.hpp"
#include "section_index.hpp"
#include "unitcheck/unit_check.hpp"

#include "meshglass/TextureLookup.hpp"

#include <map>
#include <optional>

namespace unitcheck {

// Where a name was found: the place, and the source and member there.
struct Located {
    int place = -1;
    Hit hit;
};

// A model read once: its pieces and the texture names of its primitives.
struct ModelInfo {
    std::optional<Located> at; // nullopt: missing
    bool unreadable = false;
    std::string problem;
    std::vector<std::string> pieces;   // in tree order
    std::vector<std::string> textures; // once each (without regard to case), first use order
};

// A builder's listing of a unit.
struct MenuListing {
    std::string builder;
    std::string where; // "MENUENTRY3" or the gadget's section name
    int place = -1;
    Hit hit;
};

struct UnitCheck::Impl {
    std::vector<Place> places;
    std::vector<std::unique_ptr<PlaceFiles>> files;
    std::vector<std::unique_ptr<meshglass::TextureLookup>> textures; // per place, made on use

    std::optional<SectionIndex> weapons, features, sounds;
    std::optional<std::multimap<std::string, MenuListing>> menus; // by folded unit name
    std::map<std::string, ModelInfo> models;                      // by folded member path

    void add(Place place, std::unique_ptr<PlaceFiles> files);
    // The first place holding the path.
    std::optional<Located> locate(std::string_view path) const;
    const SectionIndex& weaponIndex();
    const SectionIndex& featureIndex();
    const SectionIndex& soundIndex();
    const std::multimap<std::string, MenuListing>& menuIndex();
    const ModelInfo& model(const std::string& path);
    // The place and texture file holding a texture entry.
    std::optional<Located> texture(std::string_view name);
};

} // namespace unitcheck
