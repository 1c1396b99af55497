// Encodes arbitrary pixels as run-length rows with both encoders: they must
// write the same bytes, never read or write out of bounds, and the rows must
// decode back to the pixels with no code past a row's right edge.
#include "spriteglass/palette.hpp"
#include "spriteglass/run_length_encoder.hpp"
#include "spriteglass/run_length_rows.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

using namespace spriteglass;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first byte picks the width, the second how pixels are made from
    // the rest: as they are, or folded onto few values (long runs, many of
    // MaskIndex) by a mask.
    const int width = 1 + data[0] % 200;
    const std::uint8_t fold = data[1];
    std::vector<std::uint8_t> pixels;
    for (std::size_t i = 2; i < size; ++i) {
        const std::uint8_t v = fold & 0x80 ? std::uint8_t(data[i] & (fold & 0x0F)) : data[i];
        pixels.push_back(fold & 0x40 && v == 0 ? MaskIndex : v);
    }
    const int height = int(pixels.size()) / width;
    if (height == 0) {
        return 0;
    }
    pixels.resize(std::size_t(width) * std::size_t(height));
    for (int r = 0; r < height; ++r) {
        const std::span<const std::uint8_t> row(pixels.data() + std::size_t(r) * width,
                                                std::size_t(width));
        std::vector<std::uint8_t> fast, inOrder;
        EncodeRunLengthRow(row, fast, RowEncoder::Fast);
        EncodeRunLengthRow(row, inOrder, RowEncoder::InOrder);
        if (fast != inOrder) {
            __builtin_trap();
        }
        // Alone in a buffer of one row, a code past its right edge would fail.
        std::vector<std::uint8_t> one = {std::uint8_t(fast.size()), std::uint8_t(fast.size() >> 8)};
        one.insert(one.end(), fast.begin(), fast.end());
        std::vector<std::uint8_t> back(row.size(), MaskIndex);
        if (!DecodeRunLengthRows(one, 0, width, 1, back, RowDecoder::Exact) ||
            !std::equal(back.begin(), back.end(), row.begin())) {
            __builtin_trap();
        }
    }
    std::vector<std::uint8_t> file;
    if (!EncodeRunLengthRows(pixels, width, height, file)) {
        return 0;
    }
    std::vector<std::uint8_t> back(pixels.size(), MaskIndex);
    if (!DecodeRunLengthRows(file, 0, width, height, back, RowDecoder::Exact) || back != pixels) {
        __builtin_trap();
    }
    return 0;
}
