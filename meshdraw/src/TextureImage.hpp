// The padded RGB image a face texture is uploaded as.
#pragma once

#include "Palette.hpp"

#include <cstdint>
#include <vector>

namespace meshdraw {

constexpr int maxTextureSide = 256;

// The smallest of 16, 32, 64, 128, 256 that is not below side; 0 when side is
// not 1..256 (such a texture is not uploaded).
int paddedSide(int side);

// Texel (c, r) of the width x height palette-index texture goes to bytes
// (r * padded width + c) * 3 .. + 2 as red, green, blue; the padding stays
// black. Empty when the size is not supported.
std::vector<std::uint8_t> paddedImage(const std::uint8_t* texels, int width, int height,
                                      const Palette& palette);

} // namespace meshdraw
