// The run-length rows of a compressed GAF frame.
//
// Each row is an int16 byte count followed by that many bytes of codes:
//   m & 1          skip m >> 1 pixels (they stay transparent)
//   m & 2          repeat the next byte (m >> 2) + 1 times
//   otherwise      copy the next (m >> 2) + 1 bytes
// Row r starts at pixel r * width and its pixel index runs on linearly past
// the row's right edge; only the whole buffer bounds it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace spriteglass {

enum class RowDecoder {
    Fast,  // rows that stay inside their own row decoded a code at a time without branches
    Exact, // every row by the plain rule (the reference the fast decoder must match)
};

// Decodes `height` rows starting at `position` in `file` into `pixels`, which
// holds width x height bytes of MaskIndex. False when a row is cut off or a
// run leaves the buffer: the frame is then to be dropped.
bool DecodeRunLengthRows(std::span<const std::uint8_t> file, std::int64_t position, int width,
                         int height, std::vector<std::uint8_t>& pixels,
                         RowDecoder decoder = RowDecoder::Fast);

} // namespace spriteglass
