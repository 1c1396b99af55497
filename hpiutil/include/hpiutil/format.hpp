// Constants and byte-level transforms of the v1 HPI container.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace hpiutil {

inline constexpr std::uint32_t kVersion1 = 0x00010000;
inline constexpr std::uint32_t kVersion2 = 0x00020000;
inline constexpr std::size_t kHeaderSize = 20;
inline constexpr std::uint32_t kRootOffset = 0x14;
inline constexpr std::size_t kDirRecordSize = 8;
inline constexpr std::size_t kEntrySize = 9;
inline constexpr std::size_t kFileRecordSize = 9;
inline constexpr std::size_t kChunkHeaderSize = 19;
inline constexpr std::uint32_t kChunkSize = 65536;
inline constexpr std::size_t kTrailerSize = 36;

// The trailer the game requires as the last 36 bytes; bytes 10..13 (the year)
// may hold anything when reading.
inline constexpr std::array<std::uint8_t, kTrailerSize> kTrailer = {
    'C', 'o', 'p', 'y', 'r', 'i', 'g', 'h', 't', ' ', '1', '9', '9', '7', ' ', 'C', 'a', 'v',
    'e', 'd', 'o', 'g', ' ', 'E', 'n', 't', 'e', 'r', 't', 'a', 'i', 'n', 'm', 'e', 'n', 't'};

// Compression method codes of the writer and of file records.
enum class Method : std::uint8_t { None = 0, Lz77 = 1, Zlib = 2 };

// True when the last 36 bytes are the trailer (year digits ignored).
bool isTrailer(std::span<const std::uint8_t> last36);

// The whole-archive cipher byte R for a header key: rotl8(low byte, 2).
// Returns 0 for key 0 (no cipher).
constexpr std::uint8_t cipherByte(std::uint32_t headerKey) {
    const std::uint8_t k = static_cast<std::uint8_t>(headerKey & 0xFF);
    return static_cast<std::uint8_t>((k << 2) | (k >> 6));
}

// Applies (or removes: it is an involution) the whole-archive cipher to bytes
// that lie at absolute offset `offset` in the file. Bytes before offset 20
// are never transformed.
void applyCipher(std::uint8_t r, std::uint64_t offset, std::span<std::uint8_t> bytes);

// Undoes the chunk inner encoding in place and returns the checksum of the
// stored bytes (their wrapping sum, taken before decoding).
std::uint32_t innerDecode(std::span<std::uint8_t> payload);
// Applies the chunk inner encoding in place and returns the checksum of the
// encoded bytes.
std::uint32_t innerEncode(std::span<std::uint8_t> payload);
// The wrapping 32-bit byte sum.
std::uint32_t byteSum(std::span<const std::uint8_t> bytes);

// Little-endian access.
inline std::uint32_t loadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
inline void storeU32(std::uint8_t* p, std::uint32_t v) {
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

} // namespace hpiutil
