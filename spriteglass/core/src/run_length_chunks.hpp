// What the two run-length row encoders share: the code's limits, the bits
// that find a row's runs 64 pixels at a time, and the encoder that decides
// a run at a time (run_length_in_order.cpp), which the one that decides 64
// pixels at a time (run_length_encoder.cpp) leaves the rows it cannot be
// sure of to.
#pragma once

#include "spriteglass/palette.hpp"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace spriteglass::row_code {

constexpr int kMaxSkip = 127; // m >> 1 of one control byte
constexpr int kMaxRun = 64;   // (m >> 2) + 1

// Bytes the writer may store past a row's code (whole 16-byte copies); the
// next row's code, written later, covers them.
constexpr std::size_t kSlack = 32;

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

// The state of a row's prefix, as run_length_in_order.cpp counts it.
using State = std::int32_t;

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

// Writes the shortest code of the first `end` pixels of the row at `p` (its
// last pixel not transparent), a run at a time, to `o` (end + end / 64 + 1
// + kSlack bytes) and returns its length. `readable` bytes may be read from
// `p` (the rest of the frame: whole words are read past the row's end).
std::size_t encodeInOrder(const std::uint8_t* p, int end, std::size_t readable, Scratch& scratch,
                          std::uint8_t* o);

} // namespace spriteglass::row_code
