// The picture a thumbnail is made of, scaled to the size a file manager asks
// for and written as PNG by the engines' own writers.
#pragma once

#include "spriteglass/palette.hpp"

#include <cstdint>
#include <vector>

namespace thumbnail {

struct ThumbnailPicture {
    int width = 0;
    int height = 0;
    // True: one game-palette index per pixel, MaskIndex transparent (sprites).
    // False: red, green, blue per pixel (pictures).
    bool indexed = false;
    std::vector<std::uint8_t> pixels; // rows top to bottom, no padding
    spriteglass::Palette palette{};   // for indexed pictures

    int channels() const { return indexed ? 1 : 3; }
    bool valid() const;
};

// The picture scaled so that its longer side is `size` pixels, keeping its
// proportions (the shorter side at least 1). Nearest neighbour: sprites and
// unit pictures are small pixel art, enlarged far more often than reduced,
// and palette indices cannot be blended.
ThumbnailPicture ScaleToFit(const ThumbnailPicture& picture, int size);

// The smallest part of an indexed picture that holds every pixel other than
// MaskIndex; an empty picture when there is none.
ThumbnailPicture CropToOpaque(const ThumbnailPicture& picture);

// The PNG file's bytes: palette PNG with MaskIndex transparent, or truecolour.
std::vector<std::uint8_t> PngOf(const ThumbnailPicture& picture);

} // namespace thumbnail
