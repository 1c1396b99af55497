// One place the unit check looks in (a mounted game folder, an archive, an
// unpacked folder), behind one interface: find a member, list a folder's
// files, read a member, and the place's texture files for the texture lookup.
// Member paths are '\'-separated UTF-8 and matched without regard to case.
#pragma once

#include "hpiutil/result.hpp"
#include "meshglass/TextureSource.hpp"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gamefolder {
class GameFolder;
}

namespace unitcheck {

// Largest member the check reads (definitions, scripts, models, GAF files).
inline constexpr std::uint64_t MaxMemberSize = 64ull << 20;

struct Hit {
    std::string member;                  // as the providing source spells it
    std::string source;                  // the providing source, for people
    std::vector<std::string> shadowedBy; // later sources of the place holding it too
};

class PlaceFiles {
public:
    virtual ~PlaceFiles() = default;
    // The file at that path; nullopt when the place holds none (or a folder).
    virtual std::optional<Hit> find(std::string_view path) const = 0;
    // The member paths of the files in a folder (and, with `recursive`, in
    // the folders below it), in the place's order.
    virtual std::vector<std::string> files(std::string_view folder, bool recursive) const = 0;
    // The whole bytes of a member (at most MaxMemberSize).
    virtual hpiutil::Result<std::vector<std::uint8_t>> read(std::string_view member) const = 0;
    // The place's textures\*.gaf for the texture lookup.
    virtual std::unique_ptr<meshglass::TextureSource> textures() const = 0;
};

std::unique_ptr<PlaceFiles> gameFolderPlace(std::shared_ptr<const gamefolder::GameFolder> game);
hpiutil::Result<std::unique_ptr<PlaceFiles>> archivePlace(const std::filesystem::path& path);
hpiutil::Result<std::unique_ptr<PlaceFiles>> folderPlace(const std::filesystem::path& path);

// Deepest folder a listing walks into.
inline constexpr int MaxFolderDepth = 32;

} // namespace unitcheck
