#include "spriteglass/palette.hpp"

#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

using namespace spriteglass;
namespace fs = std::filesystem;

TEST(LoadPalette, TurnsRedGreenBlueTriplesIntoBlueGreenRedZero) {
    testsupport::TempDir dir;
    std::vector<std::uint8_t> bytes(800, 0xEE); // bytes after the 768th are ignored
    for (int k = 0; k < 256; ++k) {
        bytes[3 * k] = std::uint8_t(k);            // red
        bytes[3 * k + 1] = std::uint8_t(255 - k);  // green
        bytes[3 * k + 2] = std::uint8_t(k ^ 0x55); // blue
    }
    testsupport::writeFile(dir / "palette.dat", bytes);
    const Palette palette = LoadPalette(dir / "palette.dat");
    for (int k = 0; k < 256; ++k) {
        ASSERT_EQ(palette[4 * k], k ^ 0x55) << k;
        ASSERT_EQ(palette[4 * k + 1], 255 - k) << k;
        ASSERT_EQ(palette[4 * k + 2], k) << k;
        ASSERT_EQ(palette[4 * k + 3], 0) << k;
    }
}

TEST(LoadPalette, ShortOrMissingFileLeavesTheRestBlackAndCreatesNothing) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "short.dat", std::vector<std::uint8_t>{10, 20, 30, 40, 50});
    const Palette shortPalette = LoadPalette(dir / "short.dat");
    EXPECT_EQ(shortPalette[0], 30);
    EXPECT_EQ(shortPalette[2], 10);
    EXPECT_EQ(shortPalette[4], 0); // the second triple is incomplete
    EXPECT_EQ(shortPalette[5], 0);

    const Palette missing = LoadPalette(dir / "palette.dat");
    EXPECT_EQ(missing, Palette{});
    EXPECT_FALSE(fs::exists(dir / "palette.dat"));
}

TEST(LoadPalette, ShippedPaletteMatchesTheGamesColourTable) {
    TOOLKIT_REQUIRE_REAL("palette/palette.pal", pal);
    const auto rgba = testsupport::readFile(pal);
    ASSERT_EQ(rgba.size(), 1024u);
    const Palette palette = LoadPalette(SPRITEGLASS_PALETTE_FILE);
    for (int k = 0; k < 256; ++k) {
        ASSERT_EQ(palette[4 * k + 2], rgba[4 * k]) << k;
        ASSERT_EQ(palette[4 * k + 1], rgba[4 * k + 1]) << k;
        ASSERT_EQ(palette[4 * k], rgba[4 * k + 2]) << k;
    }
}
