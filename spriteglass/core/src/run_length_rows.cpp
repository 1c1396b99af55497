#include "spriteglass/run_length_rows.hpp"

#include "spriteglass/palette.hpp"

#include <algorithm>
#include <cstring>

namespace spriteglass {

namespace {

using Bytes16 = std::uint8_t __attribute__((vector_size(16)));

// A fast row reads up to this many bytes past its codes and writes up to this
// many past its width: a run of k pixels is stored 16 bytes at a time.
constexpr int kCodeSlack = 144;
constexpr int kRowSlack = 144;

// Decodes one row into `row` (width + kRowSlack writable bytes) and writes
// every pixel of [0, width): runs as coded, skipped and uncoded pixels as
// MaskIndex. Every kind of code takes the one path: a skip stores MaskIndex,
// a repeat its byte and a literal its bytes, each as whole 16-byte stores
// that may run past the code's own pixels; the next code's stores start where
// its pixels end. Short runs need no copy loop of their own size.
// False when the row leaves its width or its last code runs past the row's
// bytes: the exact decoder then decides.
bool fastRow(const std::uint8_t* code, int n, std::uint8_t* row, int width) {
    int t = 0;
    int x = 0;
    while (t < n) {
        const unsigned m = code[t];
        const bool skip = m & 1;
        const bool literal = (m & 3) == 0;
        const int k = skip ? int(m >> 1) : int(m >> 2) + 1;
        const int used = literal ? k + 1 : 2 - int(skip);
        const std::uint8_t value = skip ? MaskIndex : code[t + 1];
        const std::uint8_t selectByte = literal ? 0xFF : 0;
        const Bytes16 fill = Bytes16{} + value;
        const Bytes16 select = Bytes16{} + selectByte;
        int j = 0;
        do {
            Bytes16 source;
            std::memcpy(&source, code + t + 1 + j, 16);
            const Bytes16 out = (source & select) | (fill & ~select);
            std::memcpy(row + x + j, &out, 16);
            j += 16;
        } while (j < k);
        t += used;
        x += k;
        if (x > width) {
            return false;
        }
    }
    if (t != n) {
        return false;
    }
    std::memset(row + x, MaskIndex, std::size_t(width - x));
    return true;
}

// The plain rule for one row starting at pixel `base`: skips move on, runs
// are written where they fall. The whole run must lie inside the buffer, and
// a run's bytes inside the row's codes. `written` grows to the end of the
// furthest run written.
bool exactRow(const std::uint8_t* code, int n, std::int64_t base, std::vector<std::uint8_t>& pixels,
              std::int64_t& written) {
    const std::int64_t size = std::int64_t(pixels.size());
    std::int64_t x = 0;
    int t = 0;
    while (t < n) {
        const std::uint8_t m = code[t++];
        if (m & 1) {
            x += m >> 1;
            continue;
        }
        const int k = (m >> 2) + 1;
        const std::int64_t first = base + x;
        if (first < 0 || first + k > size) {
            return false;
        }
        std::uint8_t* out = pixels.data() + first;
        if (m & 2) {
            if (t >= n) {
                return false;
            }
            std::memset(out, code[t++], std::size_t(k));
        } else {
            if (t + k > n) {
                return false;
            }
            std::memcpy(out, code + t, std::size_t(k));
            t += k;
        }
        x += k;
        written = std::max(written, first + k);
    }
    return true;
}

} // namespace

bool DecodeRunLengthRows(std::span<const std::uint8_t> file, std::int64_t position, int width,
                         int height, std::vector<std::uint8_t>& pixels, RowDecoder decoder) {
    const std::int64_t fileSize = std::int64_t(file.size());
    // One row buffer per thread, kept between frames: at most 32 KB.
    thread_local std::vector<std::uint8_t> row;
    if (decoder == RowDecoder::Fast && row.size() < std::size_t(width) + kRowSlack) {
        row.resize(std::size_t(width) + kRowSlack);
    }
    // Pixels from here on hold MaskIndex still: the exact decoder may have
    // written past its own row, a fast row never does.
    std::int64_t written = 0;
    for (int r = 0; r < height; ++r) {
        if (position < 0 || position > fileSize - 2) {
            return false;
        }
        std::int16_t count;
        std::memcpy(&count, file.data() + position, 2);
        position += 2;
        const int n = count;
        if (n <= 0) {
            continue;
        }
        if (n > fileSize - position) {
            return false;
        }
        const std::uint8_t* code = file.data() + position;
        position += n;
        const std::int64_t base = std::int64_t(r) * width;
        const bool fast =
            decoder == RowDecoder::Fast && base >= written && fileSize - position >= kCodeSlack;
        if (fast && fastRow(code, n, row.data(), width)) {
            std::memcpy(pixels.data() + base, row.data(), std::size_t(width));
        } else if (!exactRow(code, n, base, pixels, written)) {
            return false;
        }
    }
    return true;
}

} // namespace spriteglass
