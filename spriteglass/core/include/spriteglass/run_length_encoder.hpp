// The writer's side of the run-length rows of a compressed GAF frame (the
// code is described in run_length_rows.hpp).
//
// Each row gets the shortest code the rule allows: skips for runs of
// MaskIndex, repeats for runs of equal pixels, literals otherwise, chosen
// together so no other code of the row is shorter. No code passes the row's
// right edge, and the MaskIndex pixels at a row's end take no code at all
// (the decoder leaves unwritten pixels at MaskIndex).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace spriteglass {

// The longest row code a row's int16 byte count can announce.
inline constexpr int MaxRowCodeBytes = 32767;

enum class RowEncoder {
    Fast,    // the choices made 64 pixels at a time where that is sure, else in order
    InOrder, // every row a run at a time (the reference the fast encoder must match)
};

// Appends the code of one row of pixels to `out` (nothing for a row of
// MaskIndex only). Both encoders write the same bytes.
void EncodeRunLengthRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out,
                        RowEncoder encoder = RowEncoder::Fast);

// Appends `height` rows of `width` pixels, each as its int16 byte count and
// its code. False when a row's code is longer than MaxRowCodeBytes (a frame
// that must then be stored raw); `out` is then left as it was.
bool EncodeRunLengthRows(std::span<const std::uint8_t> pixels, int width, int height,
                         std::vector<std::uint8_t>& out);

// The room EncodeRunLengthRowsTo needs for `height` rows of `width` pixels
// (the codes' longest, and a few bytes the writing may store past them).
std::size_t RunLengthRowsRoom(int width, int height);

// The same rows written to `out`, which holds RunLengthRowsRoom(width,
// height) bytes: the bytes past the rows' end are left undefined. Sets
// `size` to the rows' length; false as above (`size` then 0).
bool EncodeRunLengthRowsTo(std::span<const std::uint8_t> pixels, int width, int height,
                           std::uint8_t* out, std::size_t& size);

} // namespace spriteglass
