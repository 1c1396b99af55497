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
