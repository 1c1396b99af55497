#include "pcx_run_length.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace crateward::pcx {

namespace {

constexpr unsigned kRunMark = 0xC0;

// Where the first four codes of 8 bytes start, and how many bytes they take,
// for each pattern of run marks (bit k set: byte k is 0xC0 or more). Four
// codes of at most two bytes each always lie inside the 8 bytes.
struct FourCodes {
    std::array<std::uint8_t, 4> at;
    std::uint8_t bytes;
};

constexpr std::array<FourCodes, 256> MakeFourCodes() {
    std::array<FourCodes, 256> table{};
    for (unsigned marks = 0; marks < 256; ++marks) {
        unsigned at = 0;
        for (auto& start : table[marks].at) {
            start = std::uint8_t(at);
            at += (marks >> at) & 1 ? 2 : 1;
        }
        table[marks].bytes = std::uint8_t(at);
    }
    return table;
}

// Per first byte of a code: the pixels it gives (1 for a plain pixel). And
// per value: 16 copies of it, stored in one go.
struct ByteTables {
    std::array<std::uint8_t, 256> pixels;
    std::array<std::array<std::uint8_t, 16>, 256> sixteen;
};

constexpr ByteTables MakeByteTables() {
    ByteTables t{};
    for (unsigned b = 0; b < 256; ++b) {
        t.pixels[b] = std::uint8_t(b >= kRunMark ? b & 0x3F : 1);
        t.sixteen[b].fill(std::uint8_t(b));
    }
    return t;
}

constexpr auto kFourCodes = MakeFourCodes();
constexpr auto kBytes = MakeByteTables();

// The run marks of 8 bytes: bit k set when byte k has both top bits set.
unsigned RunMarks(std::uint64_t eight) {
    const std::uint64_t top = eight & (eight << 1) & 0x8080808080808080ULL;
    // Gathers the eight top bits into the high byte.
    return unsigned(((top >> 7) * 0x0102040810204080ULL) >> 56);
}

// Expands codes four at a time while there is room for four of the longest
// runs and a whole 8-byte read with the byte after it. Each code stores 16
// (or, for a run longer than that, 64) bytes and steps by its own length, so
// the kinds of the codes, which follow no pattern a branch predictor could
// learn, cost no branch. Returns the input and output positions reached.
void ExpandFast(const std::uint8_t*& in, const std::uint8_t* inEnd, std::uint8_t*& out,
                std::uint8_t* outEnd) {
    if constexpr (std::endian::native != std::endian::little) {
        return; // the run marks are read from a little-endian word
    }
    const std::uint8_t* i = in;
    std::uint8_t* o = out;
    while (outEnd - o >= 4 * 64 && inEnd - i >= 9) {
        std::uint64_t eight;
        std::memcpy(&eight, i, 8);
        const FourCodes& codes = kFourCodes[RunMarks(eight)];
#pragma GCC unroll 4
        for (const std::uint8_t at : codes.at) {
            // Both bytes are read, so the choice of the value is a select, not a branch.
            const unsigned first = i[at];
            const unsigned next = i[at + 1];
            const unsigned value = first >= kRunMark ? next : first;
            const unsigned n = kBytes.pixels[first];
            const std::uint8_t* sixteen = kBytes.sixteen[value].data();
            std::memcpy(o, sixteen, 16);
            if (n > 16) {
                std::memcpy(o + 16, sixteen, 16);
                std::memcpy(o + 32, sixteen, 16);
                std::memcpy(o + 48, sixteen, 16);
            }
            o += n;
        }
        i += codes.bytes;
    }
    in = i;
    out = o;
}

} // namespace

std::size_t ExpandRunLength(std::span<const std::uint8_t> data, std::span<std::uint8_t> out,
                            RunLengthDecoder decoder) {
    const std::uint8_t* in = data.data();
    const std::uint8_t* const inEnd = in + data.size();
    std::uint8_t* o = out.data();
    std::uint8_t* const oEnd = o + out.size();
    if (decoder == RunLengthDecoder::Fast) {
        ExpandFast(in, inEnd, o, oEnd);
    }
    while (o < oEnd && in < inEnd) {
        const std::uint8_t first = *in++;
        if (first < kRunMark) {
            *o++ = first;
            continue;
        }
        if (in >= inEnd) {
            break;
        }
        const std::ptrdiff_t n = std::min<std::ptrdiff_t>(first & 0x3F, oEnd - o);
        o = std::fill_n(o, n, *in++);
    }
    // What the data did not reach stays black.
    const auto filled = std::size_t(o - out.data());
    std::fill(o, oEnd, 0);
    return filled;
}

} // namespace crateward::pcx
