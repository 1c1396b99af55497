#include "spriteglass/palette.hpp"
#include "spriteglass/run_length_rows.hpp"

#include <gtest/gtest.h>

#include <random>

using namespace spriteglass;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Decoded {
    bool ok;
    Bytes pixels;
};

Decoded decode(const Bytes& file, int width, int height, RowDecoder decoder) {
    Decoded out{false, Bytes(std::size_t(width) * height, MaskIndex)};
    out.ok = DecodeRunLengthRows(file, 0, width, height, out.pixels, decoder);
    return out;
}

void appendRow(Bytes& file, const Bytes& codes) {
    file.push_back(std::uint8_t(codes.size()));
    file.push_back(std::uint8_t(codes.size() >> 8));
    file.insert(file.end(), codes.begin(), codes.end());
}

// Codes of a row, mostly well formed and inside the width, sometimes not:
// long skips, runs past the width, a last code cut off.
Bytes randomCodes(std::mt19937& random, int width) {
    auto pick = [&](int n) { return int(random() % unsigned(n)); };
    Bytes codes;
    int x = 0;
    const int target = pick(4) == 0 ? width + pick(3 * width + 2) : pick(width + 1);
    while (x < target) {
        const int kind = pick(3);
        if (kind == 0) {
            const int k = 1 + pick(pick(8) == 0 ? 127 : 12);
            codes.push_back(std::uint8_t(k << 1 | 1));
            x += k;
        } else {
            const int k = 1 + pick(pick(8) == 0 ? 64 : 10);
            codes.push_back(std::uint8_t((k - 1) << 2 | (kind == 1 ? 2 : 0)));
            const int values = kind == 1 ? 1 : k;
            for (int v = 0; v < values; ++v) {
                codes.push_back(std::uint8_t(random()));
            }
            x += k;
        }
    }
    if (!codes.empty() && pick(10) == 0) {
        codes.resize(codes.size() - 1 - pick(int(codes.size()))); // cut a code off
    }
    return codes;
}

} // namespace

// The fast decoder stores whole 16-byte blocks and falls back on the plain
// rule for anything unusual; both must give the same pixels and the same
// verdict on every input, including rows that run into the next ones, counts
// of zero or below and files cut short.
TEST(RunLengthRows, FastDecoderMatchesThePlainRule) {
    std::mt19937 random(20261208);
    int dropped = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        const int width = 1 + int(random() % (trial % 5 == 0 ? 300 : 40));
        const int height = 1 + int(random() % 12);
        Bytes file;
        for (int r = 0; r < height; ++r) {
            if (random() % 16 == 0) {
                const std::int16_t count = std::int16_t(-int(random() % 3));
                file.push_back(std::uint8_t(count));
                file.push_back(std::uint8_t(count >> 8));
                continue;
            }
            appendRow(file, randomCodes(random, width));
        }
        if (random() % 6 == 0) {
            file.resize(random() % (file.size() + 1));
        } else {
            file.resize(file.size() + random() % 200, std::uint8_t(random()));
        }
        const Decoded fast = decode(file, width, height, RowDecoder::Fast);
        const Decoded exact = decode(file, width, height, RowDecoder::Exact);
        ASSERT_EQ(fast.ok, exact.ok) << "trial " << trial;
        if (exact.ok) {
            ASSERT_EQ(fast.pixels, exact.pixels) << "trial " << trial;
        } else {
            ++dropped;
        }
    }
    // Both verdicts were exercised.
    EXPECT_GT(dropped, 100);
    EXPECT_LT(dropped, 3000);
}

TEST(RunLengthRows, PixelsSpilledIntoALaterRowStayWhereItSkips) {
    // A 4-wide frame. Row 0: a literal of 6 spills two pixels into row 1.
    // Row 1: skip 2, repeat 7 once. Row 2: a repeat of 3, then the row ends.
    Bytes file;
    appendRow(file, {5 << 2, 1, 2, 3, 4, 5, 6});
    appendRow(file, {2 << 1 | 1, 0 << 2 | 2, 7});
    appendRow(file, {2 << 2 | 2, 8});
    file.resize(file.size() + 200, 0xEE); // room for the fast stores behind the codes
    for (RowDecoder decoder : {RowDecoder::Fast, RowDecoder::Exact}) {
        const Decoded out = decode(file, 4, 3, decoder);
        ASSERT_TRUE(out.ok);
        EXPECT_EQ(out.pixels, (Bytes{1, 2, 3, 4, 5, 6, 7, 9, 8, 8, 8, 9}));
    }
}

TEST(RunLengthRows, WideRowsWithLongRunsAndTheLastRowAtTheFileEnd) {
    // Runs of 64 and skips of 127 cross several 16-byte blocks; the last
    // row's codes end the file, so it cannot use the fast stores.
    const int width = 400;
    Bytes first = {63 << 2 | 2, 0x41, 127 << 1 | 1, 63 << 2};
    for (int v = 0; v < 64; ++v) {
        first.push_back(std::uint8_t(v));
    }
    Bytes file;
    appendRow(file, first);
    appendRow(file, {0 << 2 | 2, 0x42, 100 << 1 | 1, 1 << 2 | 2, 0x43});
    Bytes expected(2 * width, MaskIndex);
    std::fill(expected.begin(), expected.begin() + 64, 0x41);
    for (int v = 0; v < 64; ++v) {
        expected[64 + 127 + v] = std::uint8_t(v);
    }
    expected[width] = 0x42;
    expected[width + 101] = expected[width + 102] = 0x43;
    for (RowDecoder decoder : {RowDecoder::Fast, RowDecoder::Exact}) {
        const Decoded out = decode(file, width, 2, decoder);
        ASSERT_TRUE(out.ok);
        EXPECT_EQ(out.pixels, expected);
    }
}
