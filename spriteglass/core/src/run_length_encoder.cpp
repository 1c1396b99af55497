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
    // Bit t set where byte t of `x` is not zero.
    const auto nonZeroBytes = [](std::uint64_t x) {
        const std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Fu;
        const std::uint64_t high = (x | ((x & low7) + low7)) & ~low7;
        return unsigned(((high >> 7) * 0x0102040810204080u) >> 56);
    };
    constexpr std::uint64_t kMaskBytes = 0x0101010101010101u * MaskIndex;
    for (int w = 0; w < 8; ++w) {
        const std::uint64_t here = load64(c + 8 * w);
        bits.ends |= std::uint64_t(nonZeroBytes(here ^ load64(c + 8 * w + 1))) << (8 * w);
        bits.transparent |= std::uint64_t(nonZeroBytes(here ^ kMaskBytes) ^ 0xFFu) << (8 * w);
    }
#endif
    return bits;
}

// A run of equal pixels [start, end) whose code is to be chosen.
struct Run {
    std::int32_t start;
    std::int32_t end;
};

// Work arrays kept between rows and frames: a row's runs to decide, and for
// a run longer than one code takes, the state at each of its pixels, how it
// was reached, and the codes found inside it.
struct Scratch {
    std::vector<Run> runs;
    std::vector<State> state;
    // Where the state's last code starts (* 2, in the run), or where its open
    // literal stretch starts (* 2 + 1, in the row).
    std::vector<std::int32_t> link;
    std::vector<std::int32_t> codes;
};

// Bytes the writer may store past a row's code (whole 16-byte copies); the
// next row's code, written later, covers them.
constexpr std::size_t kSlack = 32;

// The most bytes a row of `width` pixels codes to.
std::size_t longestCode(int width) {
    return std::size_t(width) + std::size_t(width) / 64 + 1;
}

// Where a row's codes are being written: `o` the next byte, `stretch` where
// the open literal stretch starts (the end of the last skip or repeat). A
// literal stretch stays open until a skip or a repeat closes it, or the row
// ends, then goes out in blocks of 64 from its start.
struct Output {
    std::uint8_t* o;
    int stretch;
};

// The literal pixels [w.stretch, a) of the row at `p`, of which `readable`
// bytes may be read.
inline void closeStretch(const std::uint8_t* p, std::size_t readable, Output& w, int a) {
    int k = a - w.stretch;
    if (k <= 0) {
        return;
    }
    if (k <= 16 && std::size_t(w.stretch) + 16 <= readable) [[likely]] {
        // Whole 16 bytes copied, only k kept.
        w.o[0] = std::uint8_t((k - 1) << 2);
        std::memcpy(w.o + 1, p + w.stretch, 16);
        w.o += 1 + k;
        return;
    }
    for (int at = w.stretch; k > 0;) {
        const int n = std::min(k, kMaxRun);
        *w.o++ = std::uint8_t((n - 1) << 2);
        std::memcpy(w.o, p + at, std::size_t(n));
        w.o += n;
        at += n;
        k -= n;
    }
}

// A skip or a repeat of pixels [a, a + k), after the literal before it.
inline void writeCode(const std::uint8_t* p, std::size_t readable, Output& w, int a, int k) {
    closeStretch(p, readable, w, a);
    if (p[a] == MaskIndex) {
        *w.o++ = std::uint8_t(k << 1 | 1);
    } else {
        w.o[0] = std::uint8_t((k - 1) << 2 | 2);
        w.o[1] = p[a];
        w.o += 2;
    }
    w.stretch = a + k;
}

struct AfterLongRun {
    State state;
    Output output;
};

// The pixels [start, start + length) of one value, longer than one code of
// theirs takes, from `current`: pixel by pixel, each code started as early
// as the run and its limit allow (the fewest bytes that code a prefix never
// decrease as it grows), then the run's codes found back from its end and
// written.
[[gnu::noinline]] AfterLongRun longRun(const std::uint8_t* p, std::size_t readable, int start,
                                       int length, State current, Scratch& scratch, Output w) {
    const bool transparent = p[start] == MaskIndex;
    const int limit = transparent ? kMaxSkip : kMaxRun;
    const State bytes = transparent ? 1 : 2;
    if (scratch.state.size() < std::size_t(length) + 1) {
        scratch.state.resize(std::size_t(length) + 1);
        scratch.link.resize(std::size_t(length) + 1);
        scratch.codes.resize(std::size_t(length) + 1);
    }
    State* const state = scratch.state.data();
    std::int32_t* const link = scratch.link.data();
    state[0] = current;
    int stretch = w.stretch;
    for (int j = 1; j <= length; ++j) {
        const int origin = std::max(0, j - limit);
        const State literal = state[j - 1] + kLiteralPixel;
        const State coded = afterCode(state[origin], bytes);
        const bool isLiteral = literal <= coded;
        state[j] = isLiteral ? literal : coded;
        link[j] = isLiteral ? stretch * 2 + 1 : origin * 2;
        stretch = isLiteral ? stretch : start + j;
    }
    // Back from the run's end to its start, or to a literal stretch open
    // before it.
    std::int32_t* const codes = scratch.codes.data();
    int n = 0;
    for (int j = length; j > 0;) {
        if (link[j] & 1) {
            const int from = link[j] >> 1;
            if (from <= start) {
                break;
            }
            j = from - start;
        } else {
            codes[n++] = j;
            j = link[j] >> 1;
        }
    }
    while (n > 0) {
        const int j = codes[--n];
        const int origin = link[j] >> 1;
        writeCode(p, readable, w, start + origin, j - origin);
    }
    return {state[length], w};
}

// Lists the runs of the row's first `end` pixels whose code is to be chosen
// (`end` > 0, the row's last pixel not transparent) and returns how many.
// Runs of one pixel that is not transparent are literal pixels whatever
// comes (a repeat of one costs as much and ends the literal): only the
// other runs are listed, and the last run always.
int listRuns(const std::uint8_t* p, int end, std::size_t readable, Run* runs) {
    int n = 0;
    int lastEnd = 0;               // where the last run before this chunk ended
    std::uint64_t previousEnd = 1; // a run ended before pixel c
    for (int c = 0; c < end; c += 64) {
        ChunkBits bits;
        if (std::size_t(c) + 65 <= readable) [[likely]] {
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
        const std::uint64_t single = ends & (ends << 1 | previousEnd);
        std::uint64_t decided = ends & ~(single & ~bits.transparent);
        previousEnd = ends >> 63;
        while (decided != 0) {
            const int t = std::countr_zero(decided);
            decided &= decided - 1;
            const std::uint64_t before = ends & ((std::uint64_t(1) << t) - 1);
            runs[n++] = {before ? c + 64 - std::countl_zero(before) : lastEnd, c + t + 1};
        }
        if (ends != 0) {
            lastEnd = c + 64 - std::countl_zero(ends);
        }
    }
    runs[n++] = {lastEnd, end};
    return n;
}

// Writes the code of the row of `width` pixels at `p` to `o` (longestCode(width)
// + kSlack bytes) and returns its length. `readable` bytes may be read from `p` (the
// rest of the frame: whole words are read past the row's end).
//
// The states of the row's prefixes are ordered (State): the best state where
// a run ends is the smaller of the run taken literal and the run taken as
// one skip or repeat, both from the best state where it starts. So each
// run's choice is final when it is made, and a skip or a repeat is written
// as soon as it is chosen, after the literal stretch it closes. Only a run
// longer than one code takes looks back inside itself (longRun).
std::size_t encodeRow(const std::uint8_t* p, int width, std::size_t readable, Scratch& scratch,
                      std::uint8_t* const o) {
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
    if (scratch.runs.size() < std::size_t(end)) {
        scratch.runs.resize(std::size_t(end));
    }
    const Run* const runs = scratch.runs.data();
    const int count = listRuns(p, end, readable, scratch.runs.data());

    Output w{o, 0};
    State current = kClosed;
    int from = 0; // where the pixels not yet counted start
    for (const Run* r = runs; r != runs + count; ++r) {
        const int start = r->start;
        const int length = r->end - start;
        // The single pixels before the run, literal.
        current += kLiteralPixel * (start - from);
        from = r->end;
        const bool transparent = p[start] == MaskIndex;
        if (length > kMaxRun && (!transparent || length > kMaxSkip)) [[unlikely]] {
            const AfterLongRun after = longRun(p, readable, start, length, current, scratch, w);
            current = after.state;
            w = after.output;
            continue;
        }
        // One skip or repeat, or all of it literal: a code that starts
        // inside the run follows a prefix dearer than the run's start.
        const State literal = current + kLiteralPixel * length;
        const State coded = (current | kClosed) + (transparent ? 64 : 128);
        if (literal <= coded) {
            current = literal;
        } else {
            current = coded;
            writeCode(p, readable, w, start, length);
        }
    }
    closeStretch(p, readable, w, end);
    return std::size_t(w.o - o);
}

Scratch& scratchFor() {
    thread_local Scratch scratch;
    return scratch;
}

} // namespace

// Shortest code, decided a run at a time from the row's start (encodeRow).
void EncodeRunLengthRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
    const int width = int(row.size());
    const std::size_t first = out.size();
    out.resize(first + longestCode(width) + kSlack);
    const std::size_t n =
        encodeRow(row.data(), width, row.size(), scratchFor(), out.data() + first);
    out.resize(first + n);
}

std::size_t RunLengthRowsRoom(int width, int height) {
    return std::size_t(height) * (2 + longestCode(width)) + kSlack;
}

bool EncodeRunLengthRowsTo(std::span<const std::uint8_t> pixels, int width, int height,
                           std::uint8_t* const out, std::size_t& size) {
    Scratch& scratch = scratchFor();
    std::uint8_t* o = out;
    size = 0;
    for (int r = 0; r < height; ++r) {
        const std::size_t at = std::size_t(r) * std::size_t(width);
        const std::size_t n =
            encodeRow(pixels.data() + at, width, pixels.size() - at, scratch, o + 2);
        if (n > std::size_t(MaxRowCodeBytes)) {
            return false;
        }
        o[0] = std::uint8_t(n);
        o[1] = std::uint8_t(n >> 8);
        o += 2 + n;
    }
    size = std::size_t(o - out);
    return true;
}

bool EncodeRunLengthRows(std::span<const std::uint8_t> pixels, int width, int height,
                         std::vector<std::uint8_t>& out) {
    const std::size_t start = out.size();
    // Room for the longest rows at once, cut to what was written at the end.
    out.resize(start + RunLengthRowsRoom(width, height));
    std::size_t size = 0;
    const bool ok = EncodeRunLengthRowsTo(pixels, width, height, out.data() + start, size);
    out.resize(start + size);
    return ok;
}

} // namespace spriteglass
