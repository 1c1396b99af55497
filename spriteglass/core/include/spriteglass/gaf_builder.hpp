// Builds a GAF tree from the folder form (gaf_manifest.hpp): the manifest
// "gaf.json" and the pictures it names. Only names and picture files are
// required; every other field has the default the game's own files use.
// A manifest that cannot be followed exactly (a missing picture, a picture
// of another size than the manifest says, a name over 32 bytes, an unknown
// key) is refused with a reason that names the entry and frame.
#pragma once

#include "spriteglass/gaf_file.hpp"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace spriteglass {

struct GafBuildOptions {
    // RGB and RGBA pictures are quantised to the palette only when asked, so
    // nobody changes colours by accident.
    bool quantise = false;
};

struct GafBuildResult {
    std::optional<classGAF> gaf; // empty on failure
    std::string error;
    std::vector<std::string> notes; // what the build changed, for the user
};

// The bytes of a picture named by the manifest, or nothing with the reason.
using PictureSource = std::function<std::optional<std::vector<std::uint8_t>>(
    const std::string& name, std::string& error)>;

GafBuildResult BuildGaf(std::string_view manifest, const PictureSource& pictures,
                        const Palette& palette, const GafBuildOptions& options);

// The manifest and pictures of a folder. Pictures are plain file names in it.
GafBuildResult BuildGafFromFolder(const std::filesystem::path& directory, const Palette& palette,
                                  const GafBuildOptions& options);

} // namespace spriteglass
