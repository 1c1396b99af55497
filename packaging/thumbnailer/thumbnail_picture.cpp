#include "thumbnail_picture.hpp"

#include "rgb_files.hpp"
#include "spriteglass/image_files.hpp"

#include <algorithm>
#include <cmath>

namespace thumbnail {

bool ThumbnailPicture::valid() const {
    return width > 0 && height > 0 &&
           std::uint64_t(width) * std::uint64_t(height) * std::uint64_t(channels()) ==
               pixels.size();
}

ThumbnailPicture ScaleToFit(const ThumbnailPicture& picture, int size) {
    ThumbnailPicture scaled;
    if (!picture.valid() || size <= 0) {
        return scaled;
    }
    const double factor = double(size) / double(std::max(picture.width, picture.height));
    scaled.width = std::clamp(int(std::lround(picture.width * factor)), 1, size);
    scaled.height = std::clamp(int(std::lround(picture.height * factor)), 1, size);
    scaled.indexed = picture.indexed;
    scaled.palette = picture.palette;
    const int channels = picture.channels();
    scaled.pixels.resize(std::size_t(scaled.width) * scaled.height * channels);
    // Each target pixel takes the source pixel under its centre.
    std::vector<int> sourceColumn(std::size_t(scaled.width));
    for (int x = 0; x < scaled.width; ++x) {
        sourceColumn[x] =
            std::min(picture.width - 1, int((2 * std::int64_t(x) + 1) * picture.width /
                                            (2 * std::int64_t(scaled.width))));
    }
    std::uint8_t* out = scaled.pixels.data();
    for (int y = 0; y < scaled.height; ++y) {
        const int sourceRow =
            std::min(picture.height - 1, int((2 * std::int64_t(y) + 1) * picture.height /
                                             (2 * std::int64_t(scaled.height))));
        const std::uint8_t* row =
            picture.pixels.data() + std::size_t(sourceRow) * picture.width * channels;
        for (int x = 0; x < scaled.width; ++x) {
            const std::uint8_t* pixel = row + std::size_t(sourceColumn[x]) * channels;
            out = std::copy(pixel, pixel + channels, out);
        }
    }
    return scaled;
}

ThumbnailPicture CropToOpaque(const ThumbnailPicture& picture) {
    ThumbnailPicture cropped;
    if (!picture.valid() || !picture.indexed) {
        return cropped;
    }
    int left = picture.width, right = -1, top = picture.height, bottom = -1;
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* row = picture.pixels.data() + std::size_t(y) * picture.width;
        for (int x = 0; x < picture.width; ++x) {
            if (row[x] != spriteglass::MaskIndex) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) {
        return cropped;
    }
    cropped.indexed = true;
    cropped.palette = picture.palette;
    cropped.width = right - left + 1;
    cropped.height = bottom - top + 1;
    cropped.pixels.reserve(std::size_t(cropped.width) * cropped.height);
    for (int y = top; y <= bottom; ++y) {
        const auto row = picture.pixels.begin() + std::ptrdiff_t(y) * picture.width;
        cropped.pixels.insert(cropped.pixels.end(), row + left, row + right + 1);
    }
    return cropped;
}

std::vector<std::uint8_t> PngOf(const ThumbnailPicture& picture) {
    if (!picture.valid()) {
        return {};
    }
    if (picture.indexed) {
        return spriteglass::PngBytes(picture.pixels, picture.palette, picture.width, picture.height,
                                     spriteglass::MaskIndex);
    }
    return crateward::pcx::RgbPngBytes(picture.pixels, picture.width, picture.height);
}

} // namespace thumbnail
