// The game palette: 256 colours kept in the layout of a Windows RGBQUAD
// (blue, green, red, 0), so the same table serves the drawing surface and the
// colour table of exported bitmaps.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>

namespace spriteglass {

// Transparent index of frame pixels, and the fill of pixels a frame never writes.
inline constexpr std::uint8_t MaskIndex = 9;
// Background index of sprite displays.
inline constexpr std::uint8_t BackIndex = 255;

// 256 entries of 4 bytes: blue, green, red, 0.
using Palette = std::array<std::uint8_t, 1024>;

// Builds the table from up to 768 bytes of red, green, blue triples; entries
// the bytes do not reach stay black. Bytes after the 768th are ignored.
Palette PaletteFromTriples(std::span<const std::uint8_t> bytes);

// Reads the first 768 bytes of a palette file ("palette.dat"). A missing or
// short file leaves the entries that were not read black; the file is never
// created.
Palette LoadPalette(const std::filesystem::path& file);

} // namespace spriteglass
