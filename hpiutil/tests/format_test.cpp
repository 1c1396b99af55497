// Byte-level transforms against the format's published vectors, and the
// Windows-1252 boundary.
#include "hpiutil/codepage.hpp"
#include "hpiutil/format.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

using namespace hpiutil;
using testsupport::fromHex;

TEST(Cipher, KeyDerivationUsesTheLowByteRotatedLeftTwice) {
    const std::pair<std::uint32_t, std::uint8_t> vectors[] = {
        {0xBF, 0xFE}, {0x7D, 0xF5}, {0xA6, 0x9A}, {0x01, 0x04},
        {0x40, 0x01}, {0x80, 0x02}, {0xFF, 0xFF}, {0x00, 0x00}};
    for (auto [key, r] : vectors) {
        EXPECT_EQ(cipherByte(key), r) << "key " << key;
    }
    // Only the low byte counts: 0x140 is 0x40, 0x100 is no cipher.
    EXPECT_EQ(cipherByte(0x140), 0x01);
    EXPECT_EQ(cipherByte(0x100), 0x00);
}

TEST(Cipher, RootRecordExampleAndHeaderLeftAlone) {
    auto bytes = fromHex("0F 00 00 00 1C 00 00 00");
    applyCipher(cipherByte(0xBF), 0x14, bytes);
    EXPECT_EQ(bytes, fromHex("E5 EB E8 E9 FA E7 E4 E5"));
    applyCipher(cipherByte(0xBF), 0x14, bytes);
    EXPECT_EQ(bytes, fromHex("0F 00 00 00 1C 00 00 00"));

    // A range that starts inside the header only changes bytes from offset 20 on.
    std::vector<std::uint8_t> span(8, 0x01);
    applyCipher(cipherByte(0xBF), 16, span);
    EXPECT_EQ(span, fromHex("01 01 01 01 EB EA E9 E8"));
}

TEST(InnerEncoding, VectorsAndChecksumOfStoredBytes) {
    auto lz = fromHex("0C 41 42 14 00 00 00");
    EXPECT_EQ(innerEncode(lz), 0xC7u);
    EXPECT_EQ(lz, fromHex("0C 41 42 1A 08 0A 0C"));
    EXPECT_EQ(innerDecode(lz), 0xC7u); // sum of the stored bytes, before decoding
    EXPECT_EQ(lz, fromHex("0C 41 42 14 00 00 00"));

    auto z = fromHex("78 9C");
    innerEncode(z);
    EXPECT_EQ(z, fromHex("78 9E"));
    auto z2 = fromHex("78 DA");
    innerEncode(z2);
    EXPECT_EQ(z2, fromHex("78 DC"));

    // The index wraps at 256 and every byte value round-trips.
    auto all = testsupport::randomBytes(1000, 7);
    auto copy = all;
    innerEncode(copy);
    innerDecode(copy);
    EXPECT_EQ(copy, all);
}

// The transforms work on 16-byte pieces with a byte-by-byte rest: every
// length around the piece size, every start inside and past the header,
// against the rules written out a byte at a time.
TEST(InnerEncoding, PiecewiseTransformsMatchTheByteRules) {
    const auto random = testsupport::randomBytes(700, 11);
    for (std::size_t size = 0; size < 700; size += size < 40 ? 1 : 37) {
        const std::vector<std::uint8_t> bytes(random.begin(), random.begin() + long(size));
        std::uint32_t sum = 0;
        auto decoded = bytes, encoded = bytes;
        for (std::size_t i = 0; i < size; ++i) {
            const auto k = std::uint8_t(i);
            sum += bytes[i];
            decoded[i] = std::uint8_t(std::uint8_t(bytes[i] - k) ^ k);
            encoded[i] = std::uint8_t((bytes[i] ^ k) + k);
        }
        std::uint32_t encodedSum = 0;
        for (auto b : encoded) {
            encodedSum += b;
        }
        EXPECT_EQ(byteSum(bytes), sum) << size;
        auto copy = bytes;
        EXPECT_EQ(innerDecode(copy), sum) << size;
        EXPECT_EQ(copy, decoded) << size;
        copy = bytes;
        EXPECT_EQ(innerEncode(copy), encodedSum) << size;
        EXPECT_EQ(copy, encoded) << size;
        for (const std::uint64_t offset : {0ull, 5ull, 19ull, 20ull, 21ull, 250ull, 0x10003ull}) {
            auto ciphered = bytes, expected = bytes;
            for (std::size_t i = 0; i < size; ++i) {
                if (offset + i >= kHeaderSize) {
                    expected[i] ^= std::uint8_t(0xA7 ^ ((offset + i) & 0xFF));
                }
            }
            applyCipher(0xA7, offset, ciphered);
            EXPECT_EQ(ciphered, expected) << size << " at " << offset;
        }
    }
    // Sums of many bytes wrap at 32 bits as one at a time do.
    const std::vector<std::uint8_t> ones(17'000'000, 0xFF);
    EXPECT_EQ(byteSum(ones), std::uint32_t(17'000'000u * 0xFFu));
}

TEST(Trailer, YearDigitsMayBeAnything) {
    std::vector<std::uint8_t> t(kTrailer.begin(), kTrailer.end());
    EXPECT_TRUE(isTrailer(t));
    t[10] = '2';
    t[13] = 'x';
    EXPECT_TRUE(isTrailer(t));
    t[0] = 'c';
    EXPECT_FALSE(isTrailer(t));
    EXPECT_FALSE(isTrailer(std::span(t).first(35)));
}

TEST(Codepage, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    const std::string utf8 = cp1252ToUtf8(all);
    auto back = utf8ToCp1252(utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC"); // euro sign
    EXPECT_EQ(cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
}

TEST(Codepage, RefusesWhatWindows1252CannotHold) {
    EXPECT_FALSE(utf8ToCp1252("\xE4\xB8\xAD").has_value());     // a CJK character
    EXPECT_FALSE(utf8ToCp1252("\xF0\x9F\x98\x80").has_value()); // an emoji
    EXPECT_FALSE(utf8ToCp1252("\xC3").has_value());             // truncated sequence
    EXPECT_FALSE(utf8ToCp1252("\xC0\xAF").has_value());         // overlong '/'
}

TEST(Codepage, FoldingMatchesUpperAndLowerCaseLetters) {
    EXPECT_TRUE(equalsFolded("ARMFARK.FBI", "armfark.fbi"));
    EXPECT_TRUE(equalsFolded("\xE9t\xE9", "\xC9T\xC9")); // été / ÉTÉ
    EXPECT_TRUE(equalsFolded("\x9A", "\x8A"));           // š / Š
    EXPECT_FALSE(equalsFolded("\xF7", "\xD7"));          // ÷ and × are not a case pair
    EXPECT_FALSE(equalsFolded("a", "ab"));
    EXPECT_TRUE(lessFolded("apple", "Banana"));
    EXPECT_FALSE(lessFolded("Banana", "apple"));
}
