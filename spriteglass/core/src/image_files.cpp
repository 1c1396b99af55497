#include "spriteglass/image_files.hpp"

#include <cstring>
#include <fstream>
#include <string>

#include <zlib.h>

namespace spriteglass {

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, std::uint16_t(v));
    put16(out, std::uint16_t(v >> 16));
}

void put32be(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(std::uint8_t(v >> shift));
    }
}

bool sizesMatch(std::span<const std::uint8_t> pixels, int Width, int Height) {
    return Width > 0 && Height > 0 && std::uint64_t(Width) * std::uint64_t(Height) == pixels.size();
}

bool writeWhole(const std::filesystem::path& filename, const std::vector<std::uint8_t>& bytes) {
    // Truncating on open replaces an existing file whole.
    std::ofstream out(filename, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return bool(out);
}

void pngChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    put32be(out, std::uint32_t(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0, out.data() + start, uInt(out.size() - start));
    put32be(out, std::uint32_t(crc));
}

} // namespace

std::vector<std::uint8_t> BitmapBytes(std::span<const std::uint8_t> pixels, const Palette& palette,
                                      int Width, int Height) {
    if (!sizesMatch(pixels, Width, Height)) {
        return {};
    }
    const std::uint32_t R = (std::uint32_t(Width) + 3) / 4 * 4;
    const std::uint32_t dataSize = R * std::uint32_t(Height);
    std::vector<std::uint8_t> out;
    out.reserve(1078 + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, 1078 + dataSize);
    put16(out, 0);
    put16(out, 0);
    put32(out, 1078);
    put32(out, 40);
    put32(out, std::uint32_t(Width));
    put32(out, std::uint32_t(Height)); // positive: bottom row first
    put16(out, 1);
    put16(out, 8);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 256);
    put32(out, 256);
    out.insert(out.end(), palette.begin(), palette.end());
    out.resize(1078 + dataSize, 0);
    for (int k = 0; k < Height; ++k) {
        const std::size_t row = std::size_t(Height - 1 - k);
        std::memcpy(out.data() + 1078 + std::size_t(k) * R, pixels.data() + row * Width,
                    std::size_t(Width));
    }
    return out;
}

bool SaveBitmap(const std::filesystem::path& filename, std::span<const std::uint8_t> pixels,
                const Palette& palette, int Width, int Height) {
    const std::vector<std::uint8_t> bytes = BitmapBytes(pixels, palette, Width, Height);
    return !bytes.empty() && writeWhole(filename, bytes);
}

std::vector<std::uint8_t> PngBytes(std::span<const std::uint8_t> pixels, const Palette& palette,
                                   int Width, int Height, std::uint8_t transparentIndex) {
    if (!sizesMatch(pixels, Width, Height)) {
        return {};
    }
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32be(header, std::uint32_t(Width));
    put32be(header, std::uint32_t(Height));
    header.insert(header.end(),
                  {8, 3, 0, 0, 0}); // 8-bit, palette, deflate, no filter, no interlace
    pngChunk(out, "IHDR", header);
    std::vector<std::uint8_t> colours;
    for (int k = 0; k < 256; ++k) {
        colours.push_back(palette[4 * k + 2]);
        colours.push_back(palette[4 * k + 1]);
        colours.push_back(palette[4 * k + 0]);
    }
    pngChunk(out, "PLTE", colours);
    std::vector<std::uint8_t> alpha(std::size_t(transparentIndex) + 1, 255);
    alpha[transparentIndex] = 0;
    pngChunk(out, "tRNS", alpha);
    std::vector<std::uint8_t> raw;
    raw.reserve(pixels.size() + std::size_t(Height));
    for (int row = 0; row < Height; ++row) {
        raw.push_back(0); // filter type none
        const auto begin = pixels.begin() + std::ptrdiff_t(row) * Width;
        raw.insert(raw.end(), begin, begin + Width);
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);
    pngChunk(out, "IDAT", packed);
    pngChunk(out, "IEND", {});
    return out;
}

std::vector<std::uint8_t> RgbPngBytes(std::span<const std::uint8_t> rgb, int Width, int Height) {
    if (Width <= 0 || Height <= 0 || rgb.size() != std::size_t(Width) * std::size_t(Height) * 3) {
        return {};
    }
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32be(header, std::uint32_t(Width));
    put32be(header, std::uint32_t(Height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit, RGB, deflate, no filter, no interlace
    pngChunk(out, "IHDR", header);
    const std::size_t rowBytes = std::size_t(Width) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve(rgb.size() + std::size_t(Height));
    for (int row = 0; row < Height; ++row) {
        raw.push_back(0); // filter type none
        const auto begin = rgb.begin() + std::ptrdiff_t(std::size_t(row) * rowBytes);
        raw.insert(raw.end(), begin, begin + std::ptrdiff_t(rowBytes));
    }
    uLongf packedSize = compressBound(uLong(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), uLong(raw.size()), 6) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);
    pngChunk(out, "IDAT", packed);
    pngChunk(out, "IEND", {});
    return out;
}

bool SaveRgbPng(const std::filesystem::path& filename, std::span<const std::uint8_t> rgb, int Width,
                int Height) {
    const std::vector<std::uint8_t> bytes = RgbPngBytes(rgb, Width, Height);
    return !bytes.empty() && writeWhole(filename, bytes);
}

bool SavePng(const std::filesystem::path& filename, std::span<const std::uint8_t> pixels,
             const Palette& palette, int Width, int Height, std::uint8_t transparentIndex) {
    const std::vector<std::uint8_t> bytes =
        PngBytes(pixels, palette, Width, Height, transparentIndex);
    return !bytes.empty() && writeWhole(filename, bytes);
}

} // namespace spriteglass
