// The run-length coding of PCX picture data: a byte of 0xC0 or more repeats
// the byte after it (its low six bits) times; any other byte is one pixel.
// The coded lines of a picture follow each other without a break.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace crateward::pcx {

enum class RunLengthDecoder {
    Fast,  // code starts found 64 bytes at a time from bit masks, with whole 16-byte stores
    Plain, // a code at a time by the rule above (the reference the fast one must match)
};

// Expands `data` into `out`. Runs that go past the end of `out` are cut.
// Returns how many bytes of `out` the data filled, fewer than it holds when
// the data ends early; the rest of `out` is then 0 (black).
std::size_t ExpandRunLength(std::span<const std::uint8_t> data, std::span<std::uint8_t> out,
                            RunLengthDecoder decoder = RunLengthDecoder::Fast);

} // namespace crateward::pcx
