#include "pcx_run_length.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace crateward::pcx {

namespace {

constexpr unsigned kRunMark = 0xC0;
constexpr std::size_t kBlock = 64;

// Per value: 16 copies of it, stored in one go.
constexpr std::array<std::array<std::uint8_t, 16>, 256> MakeSixteens() {
    std::array<std::array<std::uint8_t, 16>, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        table[b].fill(std::uint8_t(b));
    }
    return table;
}

alignas(16) constexpr auto kSixteen = MakeSixteens();

// A block of 64 coded bytes read for the codes that may start at each byte:
// its run marks (bit k set when byte k is 0xC0 or more), and per byte the
// value a code starting there gives (the byte after a mark, else the byte)
// and how many pixels (a mark's low six bits, else 1). Reads one byte past
// the block.
struct Block {
    std::uint64_t marks;
    alignas(16) std::array<std::uint8_t, kBlock> value;
    alignas(16) std::array<std::uint8_t, kBlock> pixels;
};

void ReadBlock(const std::uint8_t* p, Block& block) {
#if defined(__SSE2__)
    block.marks = 0;
    const __m128i zero = _mm_setzero_si128();
    const __m128i low6 = _mm_set1_epi8(0x3F);
    const __m128i one = _mm_set1_epi8(1);
    for (std::size_t k = 0; k < kBlock; k += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 1));
        // The top bit of each byte, anded with the bit below it moved up, then
        // spread over the byte.
        const __m128i mark = _mm_cmpgt_epi8(zero, _mm_and_si128(v, _mm_add_epi8(v, v)));
        block.marks |= std::uint64_t(unsigned(_mm_movemask_epi8(mark))) << k;
        const __m128i value = _mm_or_si128(_mm_and_si128(mark, after), _mm_andnot_si128(mark, v));
        const __m128i pixels =
            _mm_or_si128(_mm_and_si128(mark, _mm_and_si128(v, low6)), _mm_andnot_si128(mark, one));
        _mm_store_si128(reinterpret_cast<__m128i*>(block.value.data() + k), value);
        _mm_store_si128(reinterpret_cast<__m128i*>(block.pixels.data() + k), pixels);
    }
#else
    block.marks = 0;
    for (std::size_t k = 0; k < kBlock; ++k) {
        const bool mark = p[k] >= kRunMark;
        block.marks |= std::uint64_t(mark) << k;
        block.value[k] = mark ? p[k + 1] : p[k];
        block.pixels[k] = mark ? p[k] & 0x3F : 1;
    }
#endif
}

// Which bytes of a block are the values of runs whose mark came just before
// them, from the block's run marks and whether its first byte is the value
// of the previous block's last code. A stretch of marks starts with a code,
// and then codes and values alternate, so a mark is a value when an odd
// number of marks, counted from the stretch's start, came before it. The
// subtraction finds the parity of every stretch at once: each stretch's
// start is taken from the alternating bits moved under the stretch, which
// the borrow carries to its end.
struct Values {
    std::uint64_t values;
    std::uint64_t carry; // 1 when the next block's first byte is a value
};

Values RunValues(std::uint64_t marks, std::uint64_t carry) {
    constexpr std::uint64_t kOdd = 0xAAAAAAAAAAAAAAAAULL;
    const std::uint64_t codeMarks = marks & ~carry;
    const std::uint64_t afterMarks = (((codeMarks << 1) | kOdd) - codeMarks) ^ kOdd;
    return {afterMarks ^ (marks | carry), (afterMarks & marks) >> 63};
}

// Room for any block's codes without a check: 64 codes of at most 63 pixels,
// the last storing 64 bytes.
constexpr std::ptrdiff_t kBlockRoom = std::ptrdiff_t(kBlock * kBlock);

// Expands the codes of `block` that start at the bits of `starts`.
// Each code stores 16 (or, for a run longer than that, 64) bytes and steps by
// its own length. Unchecked, the caller has made room for the whole block;
// checked, it stops before a code when fewer than 64 bytes of room remain.
// Returns the place of the code it stopped before, or 64.
// Stores the pixels of the code starting at `at` (16 or 64 bytes written,
// the code's own count kept) and returns that count.
inline std::size_t StoreCode(const Block& block, std::size_t at, std::uint8_t* o) {
    const std::size_t n = block.pixels[at];
    const std::uint8_t* sixteen = kSixteen[block.value[at]].data();
    std::memcpy(o, sixteen, 16);
    if (n > 16) {
        std::memcpy(o + 16, sixteen, 16);
        std::memcpy(o + 32, sixteen, 16);
        std::memcpy(o + 48, sixteen, 16);
    }
    return n;
}

template <bool Checked>
std::size_t ExpandCodes(const Block& block, std::uint64_t starts, std::uint8_t*& out,
                        const std::uint8_t* outEnd) {
    std::uint8_t* o = out;
    while (starts != 0) {
        const std::size_t at = std::size_t(std::countr_zero(starts));
        if (Checked && outEnd - o < std::ptrdiff_t(kBlock)) {
            out = o;
            return at;
        }
        starts &= starts - 1;
        o += StoreCode(block, at, o);
    }
    out = o;
    return kBlock;
}

// Expands a block of mostly plain pixels: those between two runs are copied
// from the block 16 at a time, and each run is stored as above. `runs` has
// the bits of the runs' marks, `from` is where the block's first code starts.
// The caller has made room for the whole block and has 16 bytes to read
// past it.
void ExpandFewRuns(const std::uint8_t* i, const Block& block, std::uint64_t runs, std::size_t from,
                   std::uint8_t*& out) {
    std::uint8_t* o = out;
    std::size_t plain = from;
    auto copyPlain = [&](std::size_t end) {
        for (std::size_t k = plain; k < end; k += 16) {
            std::memcpy(o + (k - plain), i + k, 16);
        }
        o += end - plain;
    };
    while (runs != 0) {
        const std::size_t at = std::size_t(std::countr_zero(runs));
        runs &= runs - 1;
        copyPlain(at);
        o += StoreCode(block, at, o);
        plain = at + 2;
    }
    if (plain < kBlock) {
        copyPlain(kBlock);
    }
    out = o;
}

// Blocks with at most this many run marks take the path of plain pixels.
constexpr int kFewMarks = 16;

// Expands 64 input bytes at a time while a whole block and the byte after it
// remain. The codes' starts come from bit operations on the block's run
// marks, so finding the next code waits on no load of the one before. A block
// without marks is copied whole, one with few marks a stretch of plain
// pixels at a time. Stops before a code when fewer than 64 bytes
// of output remain; returns the input and output positions reached, the input
// at the start of a code.
void ExpandFast(const std::uint8_t*& in, const std::uint8_t* inEnd, std::uint8_t*& out,
                std::uint8_t* outEnd) {
    const std::uint8_t* i = in;
    std::uint8_t* o = out;
    std::uint64_t carry = 0;
    Block block;
    while (std::size_t(inEnd - i) > kBlock && outEnd - o >= std::ptrdiff_t(kBlock)) {
        ReadBlock(i, block);
        if ((block.marks | carry) == 0) {
            std::memcpy(o, i, kBlock);
            i += kBlock;
            o += kBlock;
            continue;
        }
        const Values v = RunValues(block.marks, carry);
        if (outEnd - o >= kBlockRoom && std::size_t(inEnd - i) >= kBlock + 16 &&
            std::popcount(block.marks) <= kFewMarks) {
            ExpandFewRuns(i, block, ~v.values & block.marks, carry, o);
        } else if (outEnd - o >= kBlockRoom) {
            ExpandCodes<false>(block, ~v.values, o, outEnd);
        } else if (const std::size_t at = ExpandCodes<true>(block, ~v.values, o, outEnd);
                   at < kBlock) {
            in = i + at;
            out = o;
            return;
        }
        carry = v.carry;
        i += kBlock;
    }
    in = i + carry;
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
