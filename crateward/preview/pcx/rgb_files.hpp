// Picture files written from red, green, blue pixel rows (top to bottom):
// the `pcx` tool's BMP and PNG output.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace crateward::pcx {

// A 24-bit BMP: 54 bytes of headers, then the rows bottom row first in
// blue, green, red order, each padded with 0 to a multiple of 4.
std::vector<std::uint8_t> RgbBitmapBytes(std::span<const std::uint8_t> rgb, int width, int height);

// A truecolour PNG without alpha.
std::vector<std::uint8_t> RgbPngBytes(std::span<const std::uint8_t> rgb, int width, int height);

// Writes a BMP, or a PNG when the name ends in ".png" (any case). False when
// the sizes do not match the pixels or the file cannot be written.
bool SaveRgbPicture(const std::filesystem::path& file, std::span<const std::uint8_t> rgb, int width,
                    int height);

} // namespace crateward::pcx
