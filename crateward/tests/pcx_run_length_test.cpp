// The fast run-length decoder against the plain rule: random code streams
// (runs of every length, zero-length runs, marks as the last byte, data that
// ends early or runs on) and the real game pictures give the same pixels and
// the same count filled.
#include "pcx_image.hpp"
#include "pcx_run_length.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

#include <random>

using namespace crateward::pcx;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Expanded {
    std::size_t filled;
    Bytes pixels;
};

Expanded expand(const Bytes& data, std::size_t size, RunLengthDecoder decoder) {
    // Garbage in the buffer: whatever the data does not reach must come out black.
    Expanded out{0, Bytes(size, 0xAB)};
    out.filled = ExpandRunLength(data, out.pixels, decoder);
    return out;
}

// Codes of a drawn picture's kind, then some hostile ones: long and
// zero-length runs, values of 0xC0 and up, a mark as the very last byte.
// With `mostlyPlain`, nine codes in ten are plain pixels (a photograph's
// kind: long stretches between the runs).
Bytes randomCodes(std::mt19937& random, std::size_t count, bool mostlyPlain = false) {
    Bytes codes;
    for (std::size_t i = 0; i < count; ++i) {
        if (mostlyPlain && random() % 10 != 0) {
            codes.push_back(std::uint8_t(random() % 0xC0));
            continue;
        }
        switch (random() % 6) {
        case 0:
        case 1:
            codes.push_back(std::uint8_t(random() % 0xC0)); // a plain pixel
            break;
        case 2:
            codes.push_back(std::uint8_t(0xC0 | (1 + random() % 16)));
            codes.push_back(std::uint8_t(random()));
            break;
        case 3:
            codes.push_back(std::uint8_t(0xC0 | (random() % 64))); // 0 to 63 pixels
            codes.push_back(std::uint8_t(random()));
            break;
        default:
            codes.push_back(std::uint8_t(0xC0 | (random() % 4))); // short runs of marks
            codes.push_back(std::uint8_t(0xC0 | random()));
            break;
        }
    }
    if (random() % 4 == 0) {
        codes.push_back(std::uint8_t(0xC0 | random())); // a mark with nothing after it
    }
    return codes;
}

TEST(PcxRunLength, FastMatchesPlainOnRandomCodes) {
    std::mt19937 random(2026);
    for (int round = 0; round < 3000; ++round) {
        const Bytes codes = randomCodes(random, random() % 600, round % 2 == 1);
        // Outputs shorter than the data gives, about equal, and longer; every
        // third one with room for whole blocks of the longest runs.
        const std::size_t size = random() % (round % 3 == 2 ? 40000 : 4000);
        const Expanded plain = expand(codes, size, RunLengthDecoder::Plain);
        const Expanded fast = expand(codes, size, RunLengthDecoder::Fast);
        ASSERT_EQ(fast.filled, plain.filled) << "round " << round;
        ASSERT_EQ(fast.pixels, plain.pixels) << "round " << round;
    }
}

TEST(PcxRunLength, PlainRuleOnAHandWrittenStream) {
    // 3 x 7, a plain 5, a zero-length run, 2 x 0xC1, then the data ends.
    const Bytes codes = {0xC3, 7, 5, 0xC0, 9, 0xC2, 0xC1};
    for (const auto decoder : {RunLengthDecoder::Plain, RunLengthDecoder::Fast}) {
        const Expanded out = expand(codes, 8, decoder);
        EXPECT_EQ(out.filled, 6u);
        EXPECT_EQ(out.pixels, (Bytes{7, 7, 7, 5, 0xC1, 0xC1, 0, 0}));
        // A run past the end of the output is cut.
        EXPECT_EQ(expand(codes, 2, decoder).pixels, (Bytes{7, 7}));
    }
}

TEST(PcxRunLength, FastMatchesPlainOnRealPictures) {
    for (const char* name : {"pcx/ArmRaz.pcx", "pcx/juju.pcx", "pcx/cortitan.pcx"}) {
        SCOPED_TRACE(name);
        TOOLKIT_REQUIRE_REAL(name, file);
        const Bytes bytes = testsupport::readFile(file);
        const auto plain = DecodePcx(bytes, nullptr, RunLengthDecoder::Plain);
        const auto fast = DecodePcx(bytes, nullptr, RunLengthDecoder::Fast);
        ASSERT_TRUE(plain && fast);
        EXPECT_EQ(fast->indices, plain->indices);
        EXPECT_EQ(fast->rgb, plain->rgb);
        EXPECT_EQ(fast->complete, plain->complete);
        // Every prefix of the data, as a file cut short would give.
        const Bytes data(bytes.begin() + 128, bytes.end());
        for (std::size_t cut = 0; cut <= data.size(); cut += 97) {
            const Bytes part(data.begin(), data.begin() + std::ptrdiff_t(cut));
            const Expanded p = expand(part, 96 * 96 * 3, RunLengthDecoder::Plain);
            const Expanded f = expand(part, 96 * 96 * 3, RunLengthDecoder::Fast);
            ASSERT_EQ(f.filled, p.filled) << "cut at " << cut;
            ASSERT_EQ(f.pixels, p.pixels) << "cut at " << cut;
        }
    }
}

} // namespace
