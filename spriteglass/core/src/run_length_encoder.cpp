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

// Work arrays kept between rows and frames, for a run longer than one code
// takes: the state at each of its pixels, how it was reached, and the codes
// found inside it.
struct Scratch {
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

// The bits of the 64 pixels from c of a row whose first `readable` bytes
// may be read.
inline ChunkBits rowChunk(const std::uint8_t* p, int c, std::size_t readable) {
    if (std::size_t(c) + 65 <= readable) [[likely]] {
        return chunkBits(p + c);
    }
    std::uint8_t tail[72] = {};
    std::memcpy(tail, p + c, readable - std::size_t(c));
    return chunkBits(tail);
}

// The row's length without its trailing transparent pixels, which need no
// code: it ends after its last other pixel, found 8 at a time.
int codedLength(const std::uint8_t* p, int width) {
    int end = width;
    for (; end >= 8; end -= 8) {
        const std::uint64_t other = load64(p + end - 8) ^ (0x0101010101010101u * MaskIndex);
        if (other != 0) {
            return end - 8 + (64 - std::countl_zero(other) + 7) / 8;
        }
    }
    while (end > 0 && p[end - 1] == MaskIndex) {
        --end;
    }
    return end;
}

// Writes the code of the first `end` pixels of the row at `p` (its last
// pixel not transparent) to `o` (longestCode(end) + kSlack bytes) and
// returns its length. `readable` bytes may be read from `p` (the rest of the
// frame: whole words are read past the row's end).
//
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

// What encodeInOrder writes, with the choices made 64 pixels at a time; or
// kFallBack for a row where that cannot be sure of them.
//
// By the rule above, a run whose code takes no more bytes than two literal
// pixels would (2 or more transparent pixels, 3 or more others) takes its
// code; a run of one pixel that is not transparent stays literal; and a run
// of one transparent pixel or two others takes its code exactly when the
// run before it did (m = 0) or the row starts there, as long as no literal
// stretch between two codes is longer than one block of 64 (m + k <= 64
// then always holds). So "takes its code" is a carry: made at the end of a
// run of the first kind, passed through the pixels of one of the last kind,
// stopped by a pixel of the second kind; one addition finds it for 64
// pixels. A row with a stretch over 64 pixels between codes, or with a run
// longer than its code takes, is left to encodeInOrder.
constexpr std::size_t kFallBack = SIZE_MAX;

std::size_t encodeAtOnce(const std::uint8_t* p, int end, std::size_t readable,
                         std::uint8_t* const o) {
    std::uint8_t* w = o;
    int stretch = 0;              // where the open literal stretch starts
    int lastEnd = 0;              // where the run holding pixel c starts
    std::uint64_t sameBefore = 0; // bit 63: pixel c - 1 equals pixel c; bit 62: c - 2 equals c - 1
    std::uint64_t endBefore = 1;  // a run ended at pixel c - 1 (or the row starts at c)
    std::uint64_t carry = 1;      // the run ending at pixel c - 1 took its code
    for (int c = 0; c < end; c += 64) {
        const ChunkBits bits = rowChunk(p, c, readable);
        std::uint64_t ends = bits.ends; // bit t: a run ends at pixel c + t
        std::uint64_t inside = ~std::uint64_t(0);
        if (end - c <= 64) {
            const int last = end - c - 1;
            inside = last == 63 ? inside : (std::uint64_t(1) << (last + 1)) - 1;
            ends = (ends & inside) | std::uint64_t(1) << last;
        }
        const std::uint64_t same = ~ends & inside;                // pixel c + t + 1 equals c + t
        const std::uint64_t same1 = same << 1 | sameBefore >> 63; // pixel c + t - 1 equals c + t
        const std::uint64_t same2 =
            same << 2 | sameBefore >> 62; // pixel c + t - 2 equals c + t - 1
        const std::uint64_t starts = ends << 1 | endBefore;
        const std::uint64_t stop = starts & ends & ~bits.transparent;
        const std::uint64_t pass = inside & ~stop;
        const std::uint64_t make = ends & same1 & (same2 | bits.transparent);
        // pass + make + carry: make <= pass, so a carry leaves every run of
        // the first kind, and crosses a pixel of pass without make only if
        // one came in.
        const std::uint64_t partial = pass + make;
        const std::uint64_t sum = partial + carry;
        const std::uint64_t carryOut = std::uint64_t(partial < pass) | std::uint64_t(sum < partial);
        const std::uint64_t carriedIn = sum ^ pass ^ make; // bit t: a carry came into pixel c + t
        std::uint64_t coded = (carriedIn >> 1 | carryOut << 63) & ends;
        sameBefore = same;
        endBefore = ends >> 63;
        carry = carryOut;
        while (coded != 0) {
            const int t = std::countr_zero(coded);
            coded &= coded - 1;
            const std::uint64_t before = ends & ((std::uint64_t(1) << t) - 1);
            const int start = before ? c + 64 - std::countl_zero(before) : lastEnd;
            const int runEnd = c + t + 1;
            const int length = runEnd - start;
            const int k = start - stretch;
            const bool transparent = p[start] == MaskIndex;
            if (k > kMaxRun || (length > kMaxRun && (!transparent || length > kMaxSkip)))
                [[unlikely]] {
                return kFallBack;
            }
            if (k > 0) {
                w[0] = std::uint8_t((k - 1) << 2);
                if (k <= 16 && std::size_t(stretch) + 16 <= readable) [[likely]] {
                    std::memcpy(w + 1, p + stretch, 16);
                } else {
                    std::memcpy(w + 1, p + stretch, std::size_t(k));
                }
                w += 1 + k;
            }
            const unsigned skip = unsigned(length) << 1 | 1;
            const unsigned repeat = unsigned(length - 1) << 2 | 2;
            w[0] = std::uint8_t(transparent ? skip : repeat);
            w[1] = p[start];
            w += 2 - int(transparent);
            stretch = runEnd;
        }
        if (ends != 0) {
            lastEnd = c + 64 - std::countl_zero(ends);
        }
    }
    const int k = end - stretch;
    if (k > kMaxRun) {
        return kFallBack;
    }
    if (k > 0) {
        w[0] = std::uint8_t((k - 1) << 2);
        std::memcpy(w + 1, p + stretch, std::size_t(k));
        w += 1 + k;
    }
    return std::size_t(w - o);
}

// The code of the row of `width` pixels at `p`, written to `o`
// (longestCode(width) + kSlack bytes); its length.
std::size_t encodeRow(const std::uint8_t* p, int width, std::size_t readable, Scratch& scratch,
                      std::uint8_t* const o, RowEncoder encoder = RowEncoder::Fast) {
    const int end = codedLength(p, width);
    if (end == 0) {
        return 0;
    }
    if (encoder == RowEncoder::Fast) {
        const std::size_t n = encodeAtOnce(p, end, readable, o);
        if (n != kFallBack) {
            return n;
        }
    }
    return encodeInOrder(p, end, readable, scratch, o);
}

Scratch& scratchFor() {
    thread_local Scratch scratch;
    return scratch;
}

} // namespace

void EncodeRunLengthRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out,
                        RowEncoder encoder) {
    const int width = int(row.size());
    const std::size_t first = out.size();
    out.resize(first + longestCode(width) + kSlack);
    const std::size_t n =
        encodeRow(row.data(), width, row.size(), scratchFor(), out.data() + first, encoder);
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
