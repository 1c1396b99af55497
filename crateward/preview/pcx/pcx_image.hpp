// Decoding of PCX pictures: version 5 run-length files with 8 bits in one
// plane and the trailing 256-colour palette, and 24-bit colour in three
// planes. Every size is checked against the data before anything is
// allocated; a file that ends early gives the rows decoded so far, the rest
// left black, and says so.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pcx_run_length.hpp"

namespace crateward::pcx {

// Pictures larger than this many pixels are refused.
inline constexpr std::int64_t kMaxPixels = 64LL * 1024 * 1024;

struct PcxImage {
    int width = 0;
    int height = 0;
    int bits = 0; // 8 (one plane with a palette) or 24 (three planes)
    // 8 bits: one palette index per pixel, rows top to bottom.
    std::vector<std::uint8_t> indices;
    // 8 bits: 256 red, green, blue triples.
    std::array<std::uint8_t, 768> palette{};
    // 24 bits: red, green, blue per pixel, rows top to bottom (for 8 bits
    // RgbBytes makes them from the indices and the palette).
    std::vector<std::uint8_t> rgb;
    // False when the coded data ended before the last row.
    bool complete = true;
    // Rows whose every byte came from the data (all of them when complete).
    int rowsDecoded = 0;
};

// The decoded picture, or nothing with the reason in `error`.
// `decoder` chooses the run-length decoder (both give the same pixels).
std::optional<PcxImage> DecodePcx(std::span<const std::uint8_t> bytes, std::string* error = nullptr,
                                  RunLengthDecoder decoder = RunLengthDecoder::Fast);

// Red, green, blue per pixel, rows top to bottom, for either depth.
std::vector<std::uint8_t> RgbBytes(const PcxImage& image);

// Reads and decodes a file (at most 256 MiB are read).
std::optional<PcxImage> LoadPcx(const std::filesystem::path& file, std::string* error = nullptr);

} // namespace crateward::pcx
