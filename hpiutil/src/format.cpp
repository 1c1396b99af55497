#include "hpiutil/format.hpp"
#include "hpiutil/result.hpp"

#include <cstdio>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hpiutil {

std::string Error::message() const {
    std::string out;
    auto add = [&out](const std::string& part) {
        if (part.empty()) {
            return;
        }
        if (!out.empty()) {
            out += ": ";
        }
        out += part;
    };
    add(file);
    add(member);
    if (offset >= 0) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "at offset 0x%llx", static_cast<unsigned long long>(offset));
        add(buf);
    }
    add(what.empty() ? std::string("failed") : what);
    return out;
}

bool isTrailer(std::span<const std::uint8_t> last36) {
    if (last36.size() != kTrailerSize) {
        return false;
    }
    for (std::size_t i = 0; i < kTrailerSize; ++i) {
        if (i >= 10 && i <= 13) {
            continue; // the year may be anything
        }
        if (last36[i] != kTrailer[i]) {
            return false;
        }
    }
    return true;
}

// The byte transforms below work 16 bytes at a time where the processor has
// vectors (the low byte of each position, which the transforms key on, steps
// by 16 from one piece to the next), then byte by byte for the rest; the
// results are the same either way.
namespace {

#if defined(__SSE2__)
// The byte positions 0 to 15 of a 16-byte piece.
__m128i positions() {
    return _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
}

// The wrapping 32-bit sum of the two 64-bit halves of byte sums.
std::uint32_t sumHalves(__m128i sums) {
    std::uint64_t halves[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(halves), sums);
    return static_cast<std::uint32_t>(halves[0] + halves[1]);
}
#endif

} // namespace

void applyCipher(std::uint8_t r, std::uint64_t offset, std::span<std::uint8_t> bytes) {
    if (r == 0) {
        return;
    }
    std::size_t i = 0;
    if (offset < kHeaderSize) {
        i = static_cast<std::size_t>(kHeaderSize - offset);
    }
#if defined(__SSE2__)
    {
        const __m128i key = _mm_set1_epi8(static_cast<char>(r));
        const __m128i step = _mm_set1_epi8(16);
        __m128i k =
            _mm_add_epi8(_mm_set1_epi8(static_cast<char>((offset + i) & 0xFF)), positions());
        for (; i < bytes.size() && bytes.size() - i >= 16; i += 16) {
            auto* at = reinterpret_cast<__m128i*>(bytes.data() + i);
            _mm_storeu_si128(at, _mm_xor_si128(_mm_loadu_si128(at), _mm_xor_si128(key, k)));
            k = _mm_add_epi8(k, step);
        }
    }
#endif
    for (; i < bytes.size(); ++i) {
        bytes[i] ^= static_cast<std::uint8_t>(r ^ ((offset + i) & 0xFF));
    }
}

std::uint32_t innerDecode(std::span<std::uint8_t> payload) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    {
        const __m128i zero = _mm_setzero_si128();
        const __m128i step = _mm_set1_epi8(16);
        __m128i k = positions();
        __m128i sums = zero;
        for (; payload.size() - i >= 16; i += 16) {
            auto* at = reinterpret_cast<__m128i*>(payload.data() + i);
            const __m128i stored = _mm_loadu_si128(at);
            sums = _mm_add_epi64(sums, _mm_sad_epu8(stored, zero));
            _mm_storeu_si128(at, _mm_xor_si128(_mm_sub_epi8(stored, k), k));
            k = _mm_add_epi8(k, step);
        }
        sum = sumHalves(sums);
    }
#endif
    for (; i < payload.size(); ++i) {
        const std::uint8_t stored = payload[i];
        sum += stored;
        const auto k = static_cast<std::uint8_t>(i);
        payload[i] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(stored - k) ^ k);
    }
    return sum;
}

std::uint32_t innerEncode(std::span<std::uint8_t> payload) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    {
        const __m128i zero = _mm_setzero_si128();
        const __m128i step = _mm_set1_epi8(16);
        __m128i k = positions();
        __m128i sums = zero;
        for (; payload.size() - i >= 16; i += 16) {
            auto* at = reinterpret_cast<__m128i*>(payload.data() + i);
            const __m128i stored = _mm_add_epi8(_mm_xor_si128(_mm_loadu_si128(at), k), k);
            sums = _mm_add_epi64(sums, _mm_sad_epu8(stored, zero));
            _mm_storeu_si128(at, stored);
            k = _mm_add_epi8(k, step);
        }
        sum = sumHalves(sums);
    }
#endif
    for (; i < payload.size(); ++i) {
        const auto k = static_cast<std::uint8_t>(i);
        const auto stored = static_cast<std::uint8_t>((payload[i] ^ k) + k);
        payload[i] = stored;
        sum += stored;
    }
    return sum;
}

std::uint32_t byteSum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    std::size_t i = 0;
#if defined(__SSE2__)
    {
        const __m128i zero = _mm_setzero_si128();
        __m128i sums = zero;
        for (; bytes.size() - i >= 16; i += 16) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + i));
            sums = _mm_add_epi64(sums, _mm_sad_epu8(b, zero));
        }
        sum = sumHalves(sums);
    }
#endif
    for (; i < bytes.size(); ++i) {
        sum += bytes[i];
    }
    return sum;
}

} // namespace hpiutil
