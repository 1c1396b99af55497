#include "hpiutil/chunk.hpp"
#include "hpiutil/lz77.hpp"

#include <cstring>
#include <libdeflate.h>
#include <string>
#include <zlib.h>

namespace hpiutil {

Result<ChunkHeader> parseChunkHeader(std::span<const std::uint8_t> b) {
    if (b.size() < kChunkHeaderSize) {
        return fail("chunk header is truncated");
    }
    if (std::memcmp(b.data(), "SQSH", 4) != 0) {
        return fail("chunk does not start with SQSH");
    }
    ChunkHeader h;
    h.version = b[4];
    h.method = b[5];
    h.encoded = b[6];
    h.compressedSize = loadU32(b.data() + 7);
    h.uncompressedSize = loadU32(b.data() + 11);
    h.checksum = loadU32(b.data() + 15);
    return h;
}

void writeChunkHeader(const ChunkHeader& h, std::uint8_t* out) {
    std::memcpy(out, "SQSH", 4);
    out[4] = h.version;
    out[5] = h.method;
    out[6] = h.encoded;
    storeU32(out + 7, h.compressedSize);
    storeU32(out + 11, h.uncompressedSize);
    storeU32(out + 15, h.checksum);
}

namespace {

// One inflate state per thread, reset between chunks: the same results as a
// fresh one without allocating and freeing its window for every chunk.
struct Inflater {
    z_stream z{};
    bool ready = false;
    ~Inflater() {
        if (ready) {
            inflateEnd(&z);
        }
    }
};

// zlib's streaming inflate: the reference decoder, and the one that words
// every failure.
Status inflateWithZlib(std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                       ChunkNotes* notes) {
    thread_local Inflater inflater;
    if (!inflater.ready) {
        inflater.ready = inflateInit(&inflater.z) == Z_OK;
        if (!inflater.ready) {
            return fail("cannot start the ZLIB decoder");
        }
    } else if (inflateReset(&inflater.z) != Z_OK) {
        return fail("cannot start the ZLIB decoder");
    }
    z_stream& z = inflater.z;
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int rc = inflate(&z, Z_FINISH);
    // A stream that fills the buffer exactly may still owe its Adler-32 check.
    if (rc == Z_BUF_ERROR && z.avail_out == 0) {
        std::uint8_t extra;
        z.next_out = &extra;
        z.avail_out = 1;
        rc = inflate(&z, Z_FINISH);
        if (rc != Z_STREAM_END || z.avail_out == 0) {
            return fail("ZLIB data produces more than " + std::to_string(out.size()) + " bytes");
        }
    }
    const std::size_t produced = z.total_out;
    const std::size_t leftover = z.avail_in;
    if (rc != Z_STREAM_END) {
        return fail(rc == Z_DATA_ERROR ? "ZLIB data is corrupt" : "ZLIB data is truncated");
    }
    if (produced != out.size()) {
        return fail("ZLIB data produces " + std::to_string(produced) + " bytes, not " +
                    std::to_string(out.size()));
    }
    if (leftover != 0 && notes) {
        notes->trailingBytes = true;
    }
    return {};
}

// One whole-buffer decompressor per thread (it holds no stream state).
struct FastInflater {
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    ~FastInflater() {
        if (d) {
            libdeflate_free_decompressor(d);
        }
    }
};

// A chunk is one whole ZLIB stream of known size, so a whole-buffer decoder
// does the work in about a third of zlib's time. It accepts exactly what
// zlib accepts here: a complete stream with a correct Adler-32 check that
// fills `out` to the byte. Anything else is handed to zlib, which decides
// and words the failure, so results and messages are zlib's.
Status inflateExact(std::span<const std::uint8_t> in, std::span<std::uint8_t> out,
                    ChunkNotes* notes) {
    thread_local FastInflater fast;
    std::size_t used = 0;
    if (fast.d && libdeflate_zlib_decompress_ex(fast.d, in.data(), in.size(), out.data(),
                                                out.size(), &used, nullptr) == LIBDEFLATE_SUCCESS) {
        if (used != in.size() && notes) {
            notes->trailingBytes = true;
        }
        return {};
    }
    return inflateWithZlib(in, out, notes);
}

} // namespace

Status decodeChunk(const ChunkHeader& h, std::span<std::uint8_t> payload,
                   std::span<std::uint8_t> out, ChunkNotes* notes) {
    std::uint32_t sum;
    if (h.encoded != 0) {
        sum = innerDecode(payload);
    } else {
        sum = byteSum(payload);
    }
    if (sum != h.checksum) {
        char buf[96];
        std::snprintf(buf, sizeof buf, "chunk checksum is 0x%08x, the header says 0x%08x", sum,
                      h.checksum);
        return fail(buf);
    }
    switch (h.method) {
    case 0:
        if (payload.size() != out.size()) {
            return fail("stored chunk holds " + std::to_string(payload.size()) + " bytes, not " +
                        std::to_string(out.size()));
        }
        std::memcpy(out.data(), payload.data(), out.size());
        if (notes) {
            notes->storedMethod = true;
        }
        return {};
    case 1:
        return lz77::decompress(payload, out);
    case 2:
        return inflateExact(payload, out, notes);
    default:
        return fail("unknown chunk method " + std::to_string(h.method));
    }
}

void encodeChunk(Method method, std::span<const std::uint8_t> input,
                 std::vector<std::uint8_t>& out) {
    out.clear();
    if (method == Method::Lz77) {
        std::vector<std::uint8_t> stream;
        lz77::compress(input, stream);
        out.resize(kChunkHeaderSize + stream.size());
        std::memcpy(out.data() + kChunkHeaderSize, stream.data(), stream.size());
    } else {
        // One deflate state per thread, reset between chunks: the same output
        // as a fresh compress2 call without its allocations.
        struct Deflater {
            z_stream z{};
            bool ready = false;
            ~Deflater() {
                if (ready) {
                    deflateEnd(&z);
                }
            }
        };
        thread_local Deflater d;
        if (!d.ready) {
            d.ready = deflateInit(&d.z, Z_DEFAULT_COMPRESSION) == Z_OK;
        } else {
            deflateReset(&d.z);
        }
        const uLong bound = compressBound(static_cast<uLong>(input.size()));
        out.resize(kChunkHeaderSize + bound);
        d.z.next_in = const_cast<Bytef*>(input.data());
        d.z.avail_in = static_cast<uInt>(input.size());
        d.z.next_out = out.data() + kChunkHeaderSize;
        d.z.avail_out = static_cast<uInt>(bound);
        deflate(&d.z, Z_FINISH); // cannot fall short: the buffer holds compressBound bytes
        out.resize(kChunkHeaderSize + d.z.total_out);
    }
    ChunkHeader h;
    h.version = 2;
    h.method = method == Method::Lz77 ? 1 : 2;
    h.encoded = 1;
    h.compressedSize = static_cast<std::uint32_t>(out.size() - kChunkHeaderSize);
    h.uncompressedSize = static_cast<std::uint32_t>(input.size());
    h.checksum = innerEncode(std::span(out).subspan(kChunkHeaderSize));
    writeChunkHeader(h, out.data());
}

} // namespace hpiutil
