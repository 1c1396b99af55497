#include "rgb_files.hpp"

#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>

namespace crateward::pcx {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
void put32be(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(std::uint8_t(v >> shift));
    }
}

void chunk(std::vector<std::uint8_t>& out, const char* type, std::span<const std::uint8_t> data) {
    put32be(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32be(out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

bool sizesMatch(std::span<const std::uint8_t> rgb, int width, int height) {
    return width > 0 && height > 0 && rgb.size() == std::size_t(width) * std::size_t(height) * 3;
}

} // namespace

std::vector<std::uint8_t> RgbBitmapBytes(std::span<const std::uint8_t> rgb, int width, int height) {
    if (!sizesMatch(rgb, width, height)) {
        return {};
    }
    const std::size_t w = std::size_t(width);
    const std::size_t stride = (w * 3 + 3) / 4 * 4;
    const std::size_t imageSize = stride * std::size_t(height);
    std::vector<std::uint8_t> out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, std::uint32_t(54 + imageSize));
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, std::uint32_t(width));
    put32(out, std::uint32_t(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, std::uint32_t(imageSize));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (std::size_t y = std::size_t(height); y-- > 0;) {
        const std::uint8_t* row = rgb.data() + y * w * 3;
        for (std::size_t x = 0; x < w; ++x) {
            out.push_back(row[3 * x + 2]);
            out.push_back(row[3 * x + 1]);
            out.push_back(row[3 * x]);
        }
        out.resize(out.size() + stride - w * 3, 0);
    }
    return out;
}

std::vector<std::uint8_t> RgbPngBytes(std::span<const std::uint8_t> rgb, int width, int height) {
    if (!sizesMatch(rgb, width, height)) {
        return {};
    }
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * std::size_t(height));
    for (std::size_t y = 0; y < std::size_t(height); ++y) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), rgb.begin() + std::ptrdiff_t(y * rowBytes),
                   rgb.begin() + std::ptrdiff_t((y + 1) * rowBytes));
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32be(header, std::uint32_t(width));
    put32be(header, std::uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8 bits, truecolour
    chunk(out, "IHDR", header);
    chunk(out, "IDAT", packed);
    chunk(out, "IEND", {});
    return out;
}

bool SaveRgbPicture(const std::filesystem::path& file, std::span<const std::uint8_t> rgb, int width,
                    int height) {
    std::string ext = file.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const auto bytes =
        ext == ".png" ? RgbPngBytes(rgb, width, height) : RgbBitmapBytes(rgb, width, height);
    if (bytes.empty()) {
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out.flush());
}

} // namespace crateward::pcx
