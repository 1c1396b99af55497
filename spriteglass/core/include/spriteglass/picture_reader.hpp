// Pictures read back into palette indices for building GAF files: 8-bit BMP
// and indexed PNG (the indices taken as they are), RGB and RGBA PNG (colours
// to be quantised to the game palette). Hostile files are refused with a
// reason: sizes are capped before anything is allocated.
#pragma once

#include "spriteglass/palette.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace spriteglass {

struct Picture {
    int width = 0;
    int height = 0;
    // Palette indices (8-bit BMP, indexed PNG), top row first...
    bool indexed = false;
    std::vector<std::uint8_t> indices;
    // ...or red, green, blue, alpha per pixel (every other PNG).
    std::vector<std::uint8_t> rgba;
};

// The largest side and pixel count a picture may have (a GAF frame's limits).
inline constexpr int MaxPictureSide = 32767;
inline constexpr std::int64_t MaxPicturePixels = 16ll * 1024 * 1024;

// Reads a BMP or PNG file's bytes; nothing, with `error` set, when the file is
// neither, is damaged, or is a kind not listed above.
std::optional<Picture> ReadPicture(std::span<const std::uint8_t> bytes, std::string& error);

// Each colour becomes the index of the nearest palette colour (squared
// distance in RGB; index MaskIndex is left out, so an opaque pixel never
// turns transparent); alpha below 128 becomes MaskIndex.
std::vector<std::uint8_t> QuantiseToPalette(const Picture& picture, const Palette& palette);

} // namespace spriteglass
