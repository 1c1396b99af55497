// Picture files written from palette-index buffers.
#pragma once

#include "spriteglass/palette.hpp"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace spriteglass {

// The bytes of an 8-bit palette BMP: 1078 bytes of headers and colour table,
// then the rows bottom row first, each padded with 0 to a multiple of 4.
std::vector<std::uint8_t> BitmapBytes(std::span<const std::uint8_t> pixels, const Palette& palette,
                                      int Width, int Height);

// Writes one BMP file, replacing any file of that name whole. False when the
// sizes do not match the pixels or the file cannot be written.
bool SaveBitmap(const std::filesystem::path& filename, std::span<const std::uint8_t> pixels,
                const Palette& palette, int Width, int Height);

// An 8-bit palette PNG whose index `transparentIndex` is fully transparent.
std::vector<std::uint8_t> PngBytes(std::span<const std::uint8_t> pixels, const Palette& palette,
                                   int Width, int Height, std::uint8_t transparentIndex);
bool SavePng(const std::filesystem::path& filename, std::span<const std::uint8_t> pixels,
             const Palette& palette, int Width, int Height, std::uint8_t transparentIndex);

// A truecolour PNG of Width x Height pixels of red, green, blue bytes, top
// row first (rendered pictures). Empty when the sizes do not match.
std::vector<std::uint8_t> RgbPngBytes(std::span<const std::uint8_t> rgb, int Width, int Height);
bool SaveRgbPng(const std::filesystem::path& filename, std::span<const std::uint8_t> rgb, int Width,
                int Height);

} // namespace spriteglass
