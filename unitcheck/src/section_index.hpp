// Named TDF sections gathered from every file of a folder across the places
// (weapons\*.tdf, features\**\*.tdf, gamedata\sound.tdf, download\*.tdf,
// guis\*.gui): each file path is read once, from the first place holding it;
// a section name defined twice is found in the first file (places in order,
// then files in their place's order) and the later files are kept as notes.
#pragma once

#include "place_files.hpp"
#include "unitcheck/tdf.hpp"

#include <functional>
#include <memory>
#include <unordered_map>

namespace unitcheck {

struct TdfFile {
    int place = -1;
    Hit hit;
    TdfDocument doc;
    bool unreadable = false;
};

struct SectionHit {
    const TdfFile* file = nullptr;
    const TdfSection* section = nullptr;
    std::vector<std::string> alsoIn; // later files defining the same name
};

using NameFilter = std::function<bool(std::string_view fileName)>;

class SectionIndex {
public:
    void build(const std::vector<std::unique_ptr<PlaceFiles>>& places, std::string_view folder,
               bool recursive, const NameFilter& wanted);
    // The section of that name (UTF-8, without regard to case), or null.
    const SectionHit* find(std::string_view name) const;
    const std::vector<std::unique_ptr<TdfFile>>& files() const { return files_; }

private:
    std::vector<std::unique_ptr<TdfFile>> files_;
    std::unordered_map<std::string, SectionHit> byName_; // by folded name
};

// The key a name of the game's text is matched by, for a UTF-8 name: its
// Windows-1252 form folded, so that letters beyond ASCII match without
// regard to case as they do in the game's files.
std::string nameKey(std::string_view utf8);

// True when the file name ends with the extension (".tdf"), without regard to case.
bool hasExtension(std::string_view name, std::string_view extension);
// The last '\'-separated part of a member path.
std::string_view fileNameOf(std::string_view member);

} // namespace unitcheck
