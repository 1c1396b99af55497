// SQSH chunks: the 19-byte header, checksum, inner encoding and decoders.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "hpiutil/format.hpp"
#include "hpiutil/result.hpp"

namespace hpiutil {

struct ChunkHeader {
    std::uint8_t version = 2;
    std::uint8_t method = 0; // 0 stored (never written), 1 LZ77, 2 ZLIB
    std::uint8_t encoded = 0;
    std::uint32_t compressedSize = 0;
    std::uint32_t uncompressedSize = 0;
    std::uint32_t checksum = 0;
};

// Parses a deciphered header; fails when the marker is not "SQSH".
Result<ChunkHeader> parseChunkHeader(std::span<const std::uint8_t> bytes19);
void writeChunkHeader(const ChunkHeader& h, std::uint8_t* out19);

// Notes that decoding a chunk found without failing it.
struct ChunkNotes {
    bool storedMethod = false;  // method 0 chunk: the game cannot read it
    bool trailingBytes = false; // bytes after the end of the ZLIB stream
};

// Checks the checksum of `payload` (deciphered, still inner-encoded), undoes
// the inner encoding in place and decompresses into `out`, whose size must be
// the chunk's uncompressed size.
Status decodeChunk(const ChunkHeader& h, std::span<std::uint8_t> payload,
                   std::span<std::uint8_t> out, ChunkNotes* notes = nullptr);

// Compresses one chunk (at most 65,536 bytes) with method 1 or 2 into a
// complete chunk: header, then inner-encoded payload. `out` is replaced.
void encodeChunk(Method method, std::span<const std::uint8_t> input,
                 std::vector<std::uint8_t>& out);

} // namespace hpiutil
