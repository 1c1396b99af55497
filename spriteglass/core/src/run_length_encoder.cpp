#include "spriteglass/run_length_encoder.hpp"

#include "spriteglass/palette.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spriteglass {

namespace {

constexpr int kMaxSkip = 127; // m >> 1 of one control byte
constexpr int kMaxRun = 64;   // (m >> 2) + 1

// The state after coding a row's first j pixels, as one number
// cost * 64 + fill - 1: `cost` the fewest bytes that code them, `fill` the
// pixels of the literal open at their end (1 to 64), or 64 after a skip or a
// repeat: a state the next literal pixel must pay a control byte from.
//
// A smaller number is never worse for the rest of the row: a cheaper prefix
// pays at most one control byte more than a dearer one to go on with the same
// codes, and at equal cost a shorter open literal has more room. Adding
// literal pixels keeps that order. So one state a position is enough, and
// n more literal pixels add exactly 65 n: n bytes, and the carry out of the
// fill is the control byte of each block of 64 begun.
using State = std::int32_t;
constexpr State kClosed = 63; // cost 0, nothing open: the row's start
constexpr State kLiteralPixel = 65;

// The state after one skip or repeat of `bytes` bytes from `s`.
inline State afterCode(State s, State bytes) {
    return (s | kClosed) + 64 * bytes;
}

// Bit t set where byte t of `x` is not zero.
inline unsigned nonZeroBytes(std::uint64_t x) {
    const std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Fu;
    const std::uint64_t high = (x | ((x & low7) + low7)) & ~low7;
    return unsigned(((high >> 7) * 0x0102040810204080u) >> 56);
}

inline std::uint64_t load64(const std::uint8_t* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    if constexpr (std::endian::native == std::endian::big) {
        v = __builtin_bswap64(v);
    }
    return v;
}

// For pixels [c, c + 64) (reading [c, c + 65)): bit t of `ends` set where
// pixel c + t + 1 differs from pixel c + t (a run ends there), bit t of
// `transparent` where pixel c + t is MaskIndex.
struct ChunkBits {
    std::uint64_t ends = 0;
    std::uint64_t transparent = 0;
};

inline ChunkBits chunkBits(const std::uint8_t* c) {
    ChunkBits bits;
#if defined(__SSE2__)
    // 16 pixels a compare: a byte mask of equal neighbours and one of MaskIndex.
    const __m128i mask = _mm_set1_epi8(char(MaskIndex));
    for (int w = 0; w < 4; ++w) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 16 * w));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(c + 16 * w + 1));
        const unsigned same = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(here, next)));
        const unsigned clear = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(here, mask)));
        bits.ends |= std::uint64_t(~same & 0xFFFFu) << (16 * w);
        bits.transparent |= std::uint64_t(clear) << (16 * w);
    }
#else
    constexpr std::uint64_t kMaskBytes = 0x0101010101010101u * MaskIndex;
    for (int w = 0; w < 8; ++w) {
        const std::uint64_t here = load64(c + 8 * w);
        bits.ends |= std::uint64_t(nonZeroBytes(here ^ load64(c + 8 * w + 1))) << (8 * w);
        bits.transparent |= std::uint64_t(nonZeroBytes(here ^ kMaskBytes) ^ 0xFFu) << (8 * w);
    }
#endif
    return bits;
}

// Work arrays of one row, kept between rows and frames.
struct Scratch {
    // The state at each decided run's end, and at each pixel of a long run.
    std::vector<State> state;
    // Where that state's last code or literal stretch starts, * 2, + 1 for a
    // literal.
    std::vector<std::int32_t> link;
    // The codes' ends, from the row's end back.
    std::vector<std::int32_t> ends;
};

// The most bytes a row of `width` pixels codes to, with the room the
// writing below needs past its end.
std::size_t codeRoom(int width) {
    return std::size_t(width) + std::size_t(width) / 64 + 1 + 32;
}

// Writes the code of the row of `width` pixels at `p` to `o` (codeRoom(width)
// bytes) and returns its length. `readable` bytes may be read from `p` (the
// rest of the frame: whole words are read past the row's end).
std::size_t encodeRow(const std::uint8_t* p, int width, std::size_t readable, Scratch& scratch,
                      std::uint8_t* o) {
    int end = width;
    while (end >= 8 && load64(p + end - 8) == 0x0101010101010101u * MaskIndex) {
        end -= 8;
    }
    while (end > 0 && p[end - 1] == MaskIndex) {
        --end; // trailing transparent pixels need no code
    }
    if (end == 0) {
        return 0;
    }
    State* const state = scratch.state.data();
    std::int32_t* const link = scratch.link.data();
    state[0] = kClosed;
    State current = kClosed;
    int stretch = 0; // where a literal from the current state starts its stretch

    // Keeps the smaller state, with where its last code or literal stretch
    // starts; without branches, as which one wins follows the pixels.
    const auto step = [&](int j, State literal, State coded, int origin)
        __attribute__((always_inline)) {
        const std::int32_t isLiteral = -std::int32_t(literal <= coded); // all ones or zero
        current = coded ^ ((literal ^ coded) & isLiteral);
        state[j] = current;
        link[j] = ((stretch & isLiteral) | (origin & ~isLiteral)) * 2 + (isLiteral & 1);
        stretch = (stretch & isLiteral) | (j & ~isLiteral);
    };
    // Codes the literal pixels [from, start) (none or more), then the run
    // [start, end) of equal pixels.
    const auto run = [&](int from, int start, int end) __attribute__((always_inline)) {
        if (start > from) {
            current += kLiteralPixel * (start - from);
            state[start] = current;
            link[start] = stretch * 2 + 1;
        }
        const int length = end - start;
        const bool transparent = p[start] == MaskIndex;
        const int limit = transparent ? kMaxSkip : kMaxRun;
        const State bytes = transparent ? 1 : 2;
        if (length <= limit) [[likely]] {
            // One skip or repeat, or all of it literal: a code that starts
            // inside the run follows a prefix dearer than the run's start.
            step(end, current + kLiteralPixel * length, afterCode(current, bytes), start);
            return;
        }
        // Longer: pixel by pixel, each code started as early as its run and
        // its limit allow (the fewest bytes that code a prefix never decrease
        // as it grows).
        for (int j = start + 1; j <= end; ++j) {
            const int origin = std::max(start, j - limit);
            step(j, current + kLiteralPixel, afterCode(state[origin], bytes), origin);
        }
    };

    int start = 0;                 // where the last decided run ended
    int lastEnd = 0;               // where the last run before this chunk ended
    std::uint64_t previousEnd = 1; // a run ended before pixel c
    for (int c = 0; c < end; c += 64) {
        ChunkBits bits;
        if (std::size_t(c) + 65 <= readable) {
            bits = chunkBits(p + c);
        } else {
            std::uint8_t tail[72] = {};
            std::memcpy(tail, p + c, readable - std::size_t(c));
            bits = chunkBits(tail);
        }
        std::uint64_t ends = bits.ends;
        if (end - c <= 64) {
            ends &= (std::uint64_t(1) << (end - c - 1)) - 1; // ends past the row's are not ours
        }
        // Runs of one pixel that is not transparent are literal pixels
        // whatever comes (a repeat of one costs as much and ends the
        // literal): only the other runs are decided, each with the single
        // pixels before it.
        const std::uint64_t single = ends & (ends << 1 | previousEnd);
        std::uint64_t decided = ends & ~(single & ~bits.transparent);
        previousEnd = ends >> 63;
        while (decided != 0) {
            const int t = std::countr_zero(decided);
            decided &= decided - 1;
            const std::uint64_t before = ends & ((std::uint64_t(1) << t) - 1);
            const int runStart = before ? c + 64 - std::countl_zero(before) : lastEnd;
            run(start, runStart, c + t + 1);
            start = c + t + 1;
        }
        if (ends != 0) {
            lastEnd = c + 64 - std::countl_zero(ends);
        }
    }
    // The last run, with the single pixels before it.
    int runStart = end - 1;
    while (runStart > start && p[runStart - 1] == p[end - 1]) {
        --runStart;
    }
    run(start, runStart, end);

    // The codes' ends from the row's end back, then the codes forward.
    std::int32_t* codeEnds = scratch.ends.data();
    int codes = 0;
    for (int j = end; j > 0; j = link[j] >> 1) {
        codeEnds[codes++] = j;
    }
    const std::size_t total = std::size_t(current >> 6);
    int a = 0;
    while (codes > 0) {
        const int j = codeEnds[--codes];
        const bool literal = link[j] & 1;
        if (literal && j - a > 16) {
            // A long stretch: blocks of up to 64 from its start.
            for (; a < j;) {
                const int k = std::min(j - a, kMaxRun);
                *o++ = std::uint8_t((k - 1) << 2);
                std::memcpy(o, p + a, std::size_t(k));
                o += k;
                a += k;
            }
            continue;
        }
        // One code of at most 16 literal pixels, a skip or a repeat, written
        // the same way whatever it is: its control byte, then the pixels from
        // the first on (a repeat keeps the first, a skip none).
        const int k = j - a;
        const bool transparent = p[a] == MaskIndex;
        const unsigned coded = transparent ? unsigned(k << 1 | 1) : unsigned((k - 1) << 2 | 2);
        o[0] = std::uint8_t(literal ? unsigned((k - 1) << 2) : coded);
        if (std::size_t(a) + 16 <= readable) {
            std::memcpy(o + 1, p + a, 16);
        } else {
            std::memcpy(o + 1, p + a, std::size_t(k));
        }
        o += literal ? 1 + k : 2 - int(transparent);
        a = j;
    }
    return total;
}

Scratch& scratchFor(int width) {
    thread_local Scratch scratch;
    if (scratch.state.size() < std::size_t(width) + 1) {
        scratch.state.resize(std::size_t(width) + 1);
        scratch.link.resize(std::size_t(width) + 1);
        scratch.ends.resize(std::size_t(width) + 1);
    }
    return scratch;
}

} // namespace

// Shortest code by dynamic programming over the row's runs of equal pixels,
// from its start, one step a run (encodeRow), then written from the codes'
// list: literal stretches cut into blocks of 64 from their start, as the
// states counted them.
void EncodeRunLengthRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
    const int width = int(row.size());
    const std::size_t first = out.size();
    out.resize(first + codeRoom(width));
    const std::size_t n =
        encodeRow(row.data(), width, row.size(), scratchFor(width), out.data() + first);
    out.resize(first + n);
}

bool EncodeRunLengthRows(std::span<const std::uint8_t> pixels, int width, int height,
                         std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    // Room for the longest rows at once, cut to what was written at the end.
    out.resize(start + std::size_t(height) * (2 + codeRoom(width)));
    Scratch& scratch = scratchFor(width);
    std::uint8_t* o = out.data() + start;
    for (int r = 0; r < height; ++r) {
        const std::size_t at = std::size_t(r) * std::size_t(width);
        const std::size_t n =
            encodeRow(pixels.data() + at, width, pixels.size() - at, scratch, o + 2);
        if (n > std::size_t(MaxRowCodeBytes)) {
            out.resize(start);
            return false;
        }
        o[0] = std::uint8_t(n);
        o[1] = std::uint8_t(n >> 8);
        o += 2 + n;
    }
    out.resize(std::size_t(o - out.data()));
    return true;
}

} // namespace spriteglass
