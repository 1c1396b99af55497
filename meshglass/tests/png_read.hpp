// Reads back the truecolour PNG files `3do render` writes (8-bit RGB, no
// interlace, every row with filter 0), for the tests that look at pixels.
#pragma once

#include <zlib.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace meshglass_test {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    std::array<std::uint8_t, 3> at(int x, int y) const {
        const std::size_t k = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
        return {rgb[k], rgb[k + 1], rgb[k + 2]};
    }
};

inline std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 |
           std::uint32_t(p[3]);
}

inline std::optional<RgbImage> readRgbPng(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 8 || bytes[0] != 0x89 || bytes[1] != 'P') {
        return std::nullopt;
    }
    RgbImage image;
    std::vector<std::uint8_t> packed;
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint32_t length = bigEndian32(&bytes[at]);
        if (at + 12 + length > bytes.size()) {
            return std::nullopt;
        }
        const std::uint8_t* type = &bytes[at + 4];
        const std::uint8_t* data = &bytes[at + 8];
        if (std::equal(type, type + 4, "IHDR")) {
            image.width = int(bigEndian32(data));
            image.height = int(bigEndian32(data + 4));
            if (data[8] != 8 || data[9] != 2) {
                return std::nullopt;
            }
        } else if (std::equal(type, type + 4, "IDAT")) {
            packed.insert(packed.end(), data, data + length);
        }
        at += 12 + length;
    }
    const std::size_t row = std::size_t(image.width) * 3;
    std::vector<std::uint8_t> raw((row + 1) * std::size_t(image.height));
    uLongf size = uLongf(raw.size());
    if (image.width <= 0 ||
        uncompress(raw.data(), &size, packed.data(), uLong(packed.size())) != Z_OK ||
        size != raw.size()) {
        return std::nullopt;
    }
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* line = raw.data() + std::size_t(y) * (row + 1);
        if (line[0] != 0) {
            return std::nullopt;
        }
        image.rgb.insert(image.rgb.end(), line + 1, line + 1 + row);
    }
    return image;
}

} // namespace meshglass_test
