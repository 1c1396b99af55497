#include "spriteglass/run_length_encoder.hpp"

#include "run_length_chunks.hpp"

#include <algorithm>

namespace spriteglass {

namespace {

using namespace row_code;

// The most bytes a row of `width` pixels codes to.
std::size_t longestCode(int width) {
    return std::size_t(width) + std::size_t(width) / 64 + 1;
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

// What encodeInOrder writes, with the choices made 64 pixels at a time; or
// kFallBack for a row where that cannot be sure of them.
//
// By encodeInOrder's rule, a run of more pixels than its code takes bytes
// (2 or more transparent pixels, 3 or more others) takes its code; a run of
// one pixel that is not transparent stays literal; and a run of one
// transparent pixel or two others takes its code exactly when the run
// before it did (m = 0) or the row starts there, as long as no literal
// stretch between two codes is longer than one block of 64 (m + k <= 64
// then always holds). So "takes its code" is a carry: made at the end of a
// run of the first kind, passed through the pixels of one of the last kind,
// stopped by a pixel of the second kind; one addition finds it for 64
// pixels. A row with a stretch over 64 pixels between codes, or with a run
// longer than one code takes, is left to encodeInOrder.
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
