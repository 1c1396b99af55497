#include "run_length_chunks.hpp"

#include <algorithm>

namespace spriteglass::row_code {

namespace {

// A State is the state after coding a row's first j pixels, as one number
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
constexpr State kClosed = 63; // cost 0, nothing open: the row's start
constexpr State kLiteralPixel = 65;

// The state after one skip or repeat of `bytes` bytes from `s`.
inline State afterCode(State s, State bytes) {
    return (s | kClosed) + 64 * bytes;
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

} // namespace

// The best state where a run ends is the smaller of the run taken literal and
// the run taken as one skip or repeat, both from the best state where it
// starts (State). So each run's choice is final when it is made, and a skip
// or a repeat is written as soon as it is chosen, after the literal stretch
// it closes. Worked out on the states, the choice needs no costs: a run of
// k pixels whose code takes b bytes (1 for a skip, 2 for a repeat) and
// starts with m pixels of a literal block open (m = 0 when none is, or the
// block is full) stays literal when k < b, or when k = b, m > 0 and the k
// pixels fit in the block (m + k <= 64): the same bytes or fewer, and no
// control byte for the pixels after it. Otherwise its code is shorter. Runs
// of one pixel that is not transparent are literal whatever comes: only the
// other runs are looked at, found 64 pixels at a time. Only a run longer
// than one code takes looks back inside itself (longRun).
std::size_t encodeInOrder(const std::uint8_t* p, int end, std::size_t readable, Scratch& scratch,
                          std::uint8_t* const o) {
    Output w{o, 0};
    const auto run = [&](int start, int runEnd) __attribute__((always_inline)) {
        const int length = runEnd - start;
        const bool transparent = p[start] == MaskIndex;
        const int bytes = 2 - int(transparent);
        if (length > kMaxRun && (!transparent || length > kMaxSkip)) [[unlikely]] {
            const int m = (start - w.stretch) & 63;
            w = longRun(p, readable, start, length, m == 0 ? kClosed : m - 1, scratch, w).output;
            return;
        }
        const int k = start - w.stretch; // the open literal's pixels
        const int m = k & 63;
        // 1 when the run takes its code. Worked out with bit operations, not
        // branches: the choice follows the pixels too closely to guess.
        const unsigned take =
            1u ^ (unsigned(length < bytes) |
                  (unsigned(length == bytes) & unsigned(m != 0) & unsigned(m + length <= 64)));
        if ((take & unsigned(k > 16)) | unsigned(std::size_t(w.stretch) + 16 > readable))
            [[unlikely]] {
            if (take) {
                writeCode(p, readable, w, start, length);
            }
            return;
        }
        // A literal of at most 16 pixels and the code after it, written
        // whether the run takes its code or not, and kept only if it does.
        w.o[0] = std::uint8_t((k - 1) << 2);
        std::memcpy(w.o + 1, p + w.stretch, 16);
        std::uint8_t* const code = w.o + int(k > 0) + std::min(k, 16);
        const unsigned skip = unsigned(length) << 1 | 1;
        const unsigned repeat = unsigned(length - 1) << 2 | 2;
        code[0] = std::uint8_t(repeat ^ ((repeat ^ skip) & (0u - unsigned(transparent))));
        code[1] = p[start];
        const int keep = -int(take); // all ones when kept
        w.o += (code + bytes - w.o) & std::ptrdiff_t(keep);
        w.stretch += (runEnd - w.stretch) & keep;
    };

    int lastEnd = 0;               // where the last run before this chunk ended
    std::uint64_t previousEnd = 1; // a run ended before pixel c
    for (int c = 0; c < end; c += 64) {
        const ChunkBits bits = rowChunk(p, c, readable);
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
            run(before ? c + 64 - std::countl_zero(before) : lastEnd, c + t + 1);
        }
        if (ends != 0) {
            lastEnd = c + 64 - std::countl_zero(ends);
        }
    }
    run(lastEnd, end); // the row's last run, whatever its length
    closeStretch(p, readable, w, end);
    return std::size_t(w.o - o);
}

} // namespace spriteglass::row_code
