// ZLIB chunks are inflated by a whole-buffer decoder; this checks it against
// zlib's own streaming inflate on valid, damaged and odd streams: the same
// success or failure, the same bytes, the same note about trailing bytes.
#include "hpiutil/chunk.hpp"
#include "hpiutil/format.hpp"

#include <gtest/gtest.h>

#include <random>
#include <zlib.h>

using namespace hpiutil;

namespace {

struct Outcome {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    bool trailing = false;
};

// The plain decoder: a whole stream that fills `size` bytes exactly.
Outcome zlibReference(const std::vector<std::uint8_t>& in, std::size_t size) {
    Outcome r;
    std::vector<std::uint8_t> out(size + 1);
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        return r;
    }
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = uInt(in.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    const int rc = inflate(&z, Z_FINISH);
    r.ok = rc == Z_STREAM_END && z.total_out == size;
    r.trailing = z.avail_in != 0;
    out.resize(size);
    r.bytes = std::move(out);
    inflateEnd(&z);
    return r;
}

Outcome ours(std::vector<std::uint8_t> in, std::size_t size) {
    ChunkHeader h;
    h.method = 2;
    h.encoded = 0;
    h.compressedSize = std::uint32_t(in.size());
    h.uncompressedSize = std::uint32_t(size);
    h.checksum = byteSum(in);
    Outcome r;
    r.bytes.assign(size, 0);
    ChunkNotes notes;
    r.ok = bool(decodeChunk(h, in, r.bytes, &notes));
    r.trailing = notes.trailingBytes;
    return r;
}

std::vector<std::uint8_t> deflated(const std::vector<std::uint8_t>& data, int level, int windowBits,
                                   int strategy) {
    z_stream z{};
    deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, strategy);
    std::vector<std::uint8_t> out(deflateBound(&z, uLong(data.size())) + 16);
    z.next_in = const_cast<Bytef*>(data.data());
    z.avail_in = uInt(data.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Bytes from noise to long runs, as chunks of game files range.
std::vector<std::uint8_t> sample(std::mt19937& rng, std::size_t size) {
    std::vector<std::uint8_t> data(size);
    const unsigned alphabet = 1u + rng() % 256;
    const unsigned runs = rng() % 4;
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t b = std::uint8_t(rng() % alphabet);
        std::size_t n = runs == 0 ? 1 : 1 + rng() % (8u << runs);
        for (; n > 0 && i < size; --n) {
            data[i++] = b;
        }
    }
    return data;
}

void expectSame(const std::vector<std::uint8_t>& in, std::size_t size, const char* what,
                int round) {
    const Outcome want = zlibReference(in, size);
    const Outcome got = ours(in, size);
    ASSERT_EQ(got.ok, want.ok) << what << " round " << round;
    if (want.ok) {
        ASSERT_EQ(got.bytes, want.bytes) << what << " round " << round;
        ASSERT_EQ(got.trailing, want.trailing) << what << " round " << round;
    }
}

} // namespace

TEST(ChunkInflate, MatchesZlibOnValidStreamsOfEveryShape) {
    std::mt19937 rng(7);
    const std::size_t sizes[] = {1, 2, 100, 4096, 65535, kChunkSize};
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    for (int round = 0; round < 120; ++round) {
        const std::size_t size =
            round < 6 ? sizes[round] : 1 + rng() % (round % 3 == 0 ? kChunkSize : 3000);
        const auto data = sample(rng, size);
        const int level = int(rng() % 10);
        const int windowBits = 9 + int(rng() % 7);
        auto in = deflated(data, level, windowBits, strategies[rng() % 5]);
        expectSame(in, size, "valid", round);
        EXPECT_TRUE(ours(in, size).ok);
        EXPECT_EQ(ours(in, size).bytes, data);
        // The stream with bytes after it, and asked for one byte more or less.
        auto longer = in;
        longer.insert(longer.end(), 1 + rng() % 9, std::uint8_t(rng()));
        expectSame(longer, size, "trailing bytes", round);
        expectSame(in, size + 1, "one byte more", round);
        expectSame(in, size - 1, "one byte less", round);
    }
}

TEST(ChunkInflate, MatchesZlibOnDamagedStreams) {
    std::mt19937 rng(11);
    for (int round = 0; round < 600; ++round) {
        const std::size_t size = 1 + rng() % 5000;
        const auto data = sample(rng, size);
        auto in = deflated(data, int(rng() % 10), 15, Z_DEFAULT_STRATEGY);
        switch (round % 4) {
        case 0: // bits flipped anywhere, header and check included
            for (unsigned k = 1 + rng() % 3; k > 0; --k) {
                in[rng() % in.size()] ^= std::uint8_t(1u << (rng() % 8));
            }
            break;
        case 1: // cut short
            in.resize(rng() % in.size());
            break;
        case 2: // the Adler-32 check wrong
            in.back() ^= 0x01;
            break;
        default: // noise behind a valid header
            for (std::size_t i = 2; i < in.size(); ++i) {
                in[i] = std::uint8_t(rng());
            }
            break;
        }
        if (in.empty()) {
            continue;
        }
        expectSame(in, size, "damaged", round);
    }
}
