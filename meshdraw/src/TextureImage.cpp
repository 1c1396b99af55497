#include "TextureImage.hpp"

#include <cstddef>

namespace meshdraw {

int paddedSide(int side) {
    if (side < 1 || side > maxTextureSide) {
        return 0;
    }
    int padded = 16;
    while (padded < side) {
        padded *= 2;
    }
    return padded;
}

std::vector<std::uint8_t> paddedImage(const std::uint8_t* texels, int width, int height,
                                      const Palette& palette) {
    const int paddedWidth = paddedSide(width);
    const int paddedHeight = paddedSide(height);
    if (texels == nullptr || paddedWidth == 0 || paddedHeight == 0) {
        return {};
    }
    std::vector<std::uint8_t> image(static_cast<std::size_t>(paddedWidth) * paddedHeight * 3, 0);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const GLPaletteEntry& entry = palette[texels[r * width + c]];
            std::uint8_t* out = &image[(static_cast<std::size_t>(r) * paddedWidth + c) * 3];
            out[0] = entry.red;
            out[1] = entry.green;
            out[2] = entry.blue;
        }
    }
    return image;
}

} // namespace meshdraw
