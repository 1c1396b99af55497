// The LZ77 variant: the format's streams, the compressor's promises, and the
// decoder's refusals. The reference decoder below follows the format's
// description word for word (a real window, absolute slots), independently of
// the library's decoder, so a compressor fault cannot hide behind a matching
// decoder fault.
#include "hpiutil/lz77.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

using namespace hpiutil;
using testsupport::fromHex;

namespace {

struct ReferenceResult {
    std::vector<std::uint8_t> out;
    bool terminated = false;
    bool touchedSlotZero = false; // a reference whose slot is 0 ended the stream
    std::size_t consumed = 0;
};

ReferenceResult referenceDecode(const std::vector<std::uint8_t>& in) {
    ReferenceResult r;
    std::uint8_t W[4096] = {};
    std::size_t w = 1;
    std::size_t ip = 0;
    while (ip < in.size()) {
        const std::uint8_t tag = in[ip++];
        for (int bit = 0; bit < 8; ++bit) {
            if (!(tag & (1 << bit))) {
                if (ip >= in.size()) {
                    return r;
                }
                const std::uint8_t c = in[ip++];
                r.out.push_back(c);
                W[w] = c;
                w = (w + 1) % 4096;
            } else {
                if (ip + 2 > in.size()) {
                    return r;
                }
                const unsigned v = in[ip] | in[ip + 1] << 8;
                ip += 2;
                std::size_t pos = v >> 4;
                if (pos == 0) {
                    r.terminated = true;
                    r.consumed = ip;
                    return r;
                }
                const std::size_t len = (v & 15) + 2;
                for (std::size_t j = 0; j < len; ++j) {
                    const std::uint8_t c = W[pos];
                    r.out.push_back(c);
                    W[w] = c;
                    pos = (pos + 1) % 4096;
                    w = (w + 1) % 4096;
                }
            }
        }
    }
    return r;
}

std::vector<std::uint8_t> compressed(const std::vector<std::uint8_t>& in) {
    std::vector<std::uint8_t> out;
    lz77::compress(in, out);
    return out;
}

// Checks every promise of the compressor on one input.
void expectGoodStream(const std::vector<std::uint8_t>& input, const char* what) {
    const auto stream = compressed(input);
    EXPECT_LE(stream.size(), lz77::worstCaseSize(input.size())) << what;
    const auto ref = referenceDecode(stream);
    EXPECT_TRUE(ref.terminated) << what;
    EXPECT_EQ(ref.consumed, stream.size()) << what << ": bytes after the terminator";
    EXPECT_EQ(ref.out, input) << what << ": reference decoder disagrees";
    std::vector<std::uint8_t> mine(input.size());
    EXPECT_TRUE(lz77::decompress(stream, mine)) << what;
    EXPECT_EQ(mine, input) << what;
}

} // namespace

TEST(Lz77, DecodesTheFormatsStreams) {
    std::vector<std::uint8_t> none;
    EXPECT_TRUE(lz77::decompress(fromHex("01 00 00"), none));

    std::vector<std::uint8_t> abab(8);
    ASSERT_TRUE(lz77::decompress(fromHex("0C 41 42 14 00 00 00"), abab));
    EXPECT_EQ(std::string(abab.begin(), abab.end()), "ABABABAB");

    std::vector<std::uint8_t> digits(9);
    ASSERT_TRUE(lz77::decompress(fromHex("00 31 32 33 34 35 36 37 38 02 39 00 00"), digits));
    EXPECT_EQ(std::string(digits.begin(), digits.end()), "123456789");

    // Bytes after the terminator are ignored (the game's chunks carry one).
    std::vector<std::uint8_t> padded(8);
    EXPECT_TRUE(lz77::decompress(fromHex("0C 41 42 14 00 00 00 FF"), padded));
}

TEST(Lz77, CompressesTheFormatsExampleToItsStream) {
    const std::string text = "ABABABAB";
    EXPECT_EQ(compressed({text.begin(), text.end()}), fromHex("0C 41 42 14 00 00 00"));
    EXPECT_EQ(compressed({}), fromHex("01 00 00"));
}

TEST(Lz77, RoundTripsEveryKindOfInput) {
    expectGoodStream(testsupport::randomBytes(65536, 1), "incompressible 64 KiB");
    expectGoodStream(std::vector<std::uint8_t>(65536, 0x55), "one long run");
    expectGoodStream({'x'}, "one byte");
    expectGoodStream({'x', 'x'}, "two bytes");
    expectGoodStream({'a', 'b', 'a', 'b', 'a'}, "short repetition");

    // Period 4095 and 4096: the farthest reachable and just out of reach.
    for (std::size_t period : {4094, 4095, 4096, 4097}) {
        auto block = testsupport::randomBytes(period, period);
        std::vector<std::uint8_t> in;
        while (in.size() < 65536) {
            in.insert(in.end(), block.begin(), block.end());
        }
        in.resize(65536);
        expectGoodStream(in, "repeating random block");
    }

    // Text-like data with matches at every distance, and slot boundaries.
    std::vector<std::uint8_t> text;
    const std::string words[] = {"unit ", "armcom ", "weapon ", "{\n", "}\n", "damage=", "1", "0"};
    auto pick = testsupport::randomBytes(40000, 3);
    for (auto b : pick) {
        const auto& w = words[b % 8];
        text.insert(text.end(), w.begin(), w.end());
    }
    text.resize(65536);
    expectGoodStream(text, "text");
}

TEST(Lz77, NeverRefersToSlotZero) {
    // Content that repeats with period 4096 would love slot 0 (the terminator)
    // at output positions 4095, 8191, ...; a stream that used it would end early.
    std::vector<std::uint8_t> in(65536);
    for (std::size_t i = 0; i < in.size(); ++i) {
        in[i] = static_cast<std::uint8_t>((i % 4096) * 7 + (i % 4096) / 256);
    }
    expectGoodStream(in, "period 4096");
    std::vector<std::uint8_t> runs(65536);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        runs[i] = static_cast<std::uint8_t>((i / 17) & 0xFF);
    }
    expectGoodStream(runs, "runs of 17");
}

TEST(Lz77, RefusesBrokenStreams) {
    std::vector<std::uint8_t> out(8);
    // No terminator.
    EXPECT_FALSE(lz77::decompress(fromHex("00 41 42 43 44 45 46 47 48"), out));
    EXPECT_FALSE(lz77::decompress({}, out));
    // A reference cut in the middle.
    EXPECT_FALSE(lz77::decompress(fromHex("01 14"), out));
    // A reference to a slot nothing was written to in this chunk.
    std::vector<std::uint8_t> two(2);
    EXPECT_FALSE(lz77::decompress(fromHex("01 50 00"), two));
    // More output than the chunk holds, and less.
    std::vector<std::uint8_t> four(4);
    EXPECT_FALSE(lz77::decompress(fromHex("0C 41 42 14 00 00 00"), four));
    std::vector<std::uint8_t> nine(9);
    EXPECT_FALSE(lz77::decompress(fromHex("0C 41 42 14 00 00 00"), nine));
}
