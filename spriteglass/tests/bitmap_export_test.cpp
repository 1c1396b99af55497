#include "spriteglass/gaf_file.hpp"
#include "spriteglass/image_files.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <zlib.h>

using namespace spriteglass;
using testsupport::makeGaf;
using testsupport::rawFrame;
namespace fs = std::filesystem;

namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

Palette testPalette() {
    Palette p;
    for (std::size_t i = 0; i < p.size(); ++i) {
        p[i] = std::uint8_t(i * 7 + 1);
    }
    return p;
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SaveBitmap, WritesTheExactLayoutWithPaddedRowsBottomFirst) {
    testsupport::TempDir dir;
    const Palette palette = testPalette();
    const std::vector<std::uint8_t> pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    // An older, larger file of that name is replaced whole.
    testsupport::writeFile(dir / "f.bmp", std::vector<std::uint8_t>(5000, 0xAB));
    ASSERT_TRUE(SaveBitmap(dir / "f.bmp", pixels, palette, 5, 2));
    const auto b = testsupport::readFile(dir / "f.bmp");
    ASSERT_EQ(b.size(), 1094u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), 1094u);
    EXPECT_EQ(le32(b, 6), 0u);
    EXPECT_EQ(le32(b, 10), 1078u);
    EXPECT_EQ(le32(b, 14), 40u);
    EXPECT_EQ(le32(b, 18), 5u);
    EXPECT_EQ(le32(b, 22), 2u);
    EXPECT_EQ(le32(b, 26), 1u | 8u << 16);
    for (std::size_t at : {30, 34, 38, 42}) {
        EXPECT_EQ(le32(b, at), 0u) << at;
    }
    EXPECT_EQ(le32(b, 46), 256u);
    EXPECT_EQ(le32(b, 50), 256u);
    EXPECT_EQ(0, std::memcmp(b.data() + 54, palette.data(), 1024));
    const std::vector<std::uint8_t> rows(b.begin() + 1078, b.end());
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{6, 7, 8, 9, 10, 0, 0, 0, 1, 2, 3, 4, 5, 0, 0, 0}));

    ASSERT_TRUE(SaveBitmap(dir / "g.bmp", std::vector<std::uint8_t>(16, 3), palette, 4, 4));
    const auto g = testsupport::readFile(dir / "g.bmp");
    ASSERT_EQ(g.size(), 1094u);
    EXPECT_EQ(std::vector<std::uint8_t>(g.begin() + 1078, g.end()),
              std::vector<std::uint8_t>(16, 3));

    EXPECT_FALSE(SaveBitmap(dir / "h.bmp", pixels, palette, 4, 4)); // sizes do not match
    EXPECT_FALSE(SaveBitmap(dir / "missing" / "i.bmp", pixels, palette, 5, 2));
}

TEST(ExportAllImages, NamesFramesAndSubframesWithTwoDigitNumbers) {
    testsupport::TempDir dir;
    std::vector<testsupport::GafFrameSpec> frames(120, rawFrame(1, 1));
    testsupport::GafFrameSpec parent = rawFrame(2, 2);
    parent.subframes = {rawFrame(1, 1), rawFrame(1, 1)};
    classGAF gaf;
    gaf.LoadBytes(makeGaf({{"Big", frames},
                           {"Walk", {rawFrame(1, 1), rawFrame(1, 1), parent}},
                           {"Why?", {rawFrame(1, 1)}},
                           {"../up", {rawFrame(1, 1)}},
                           {"Last", {rawFrame(1, 1)}}}));
    gaf.ExportAllImages(dir.path(), testPalette());
    const auto names = filesIn(dir.path());
    std::vector<std::string> expected;
    for (int i = 1; i <= 120; ++i) {
        expected.push_back("Big_" + NumberPart(i) + ".bmp");
    }
    expected.insert(expected.end(), {"Last_01.bmp", "Walk_01.bmp", "Walk_02.bmp", "Walk_03_01.bmp",
                                     "Walk_03_02.bmp"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(NumberPart(9), "09");
    EXPECT_EQ(NumberPart(99), "99");
    EXPECT_EQ(NumberPart(100), "100");
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "up_01.bmp"));
}

TEST(ExportFrame, WritesNothingForAFrameWithSubframes) {
    testsupport::TempDir dir;
    testsupport::GafFrameSpec parent = rawFrame(2, 2);
    parent.subframes = {rawFrame(1, 1)};
    classGAF gaf;
    gaf.LoadBytes(makeGaf({{"A", {parent}}}));
    const classGAFFrame& frame = gaf.Animations()[0].Frames()[0];
    EXPECT_FALSE(frame.ExportFrame(dir / "a.bmp", testPalette()));
    EXPECT_FALSE(fs::exists(dir / "a.bmp"));
    EXPECT_TRUE(frame.Subframes()[0].ExportFrame(dir / "b.bmp", testPalette()));
    EXPECT_EQ(fs::file_size(dir / "b.bmp"), 1078u + 4u);
}

TEST(SavePng, WritesAPalettePictureWithIndexNineTransparent) {
    const Palette palette = testPalette();
    const std::vector<std::uint8_t> pixels = {1, 9, 255, 0, 4, 5};
    const auto png = PngBytes(pixels, palette, 3, 2, 9);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(0, std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(be32(png, 16), 3u); // IHDR width
    EXPECT_EQ(be32(png, 20), 2u);
    EXPECT_EQ(png[24], 8);
    EXPECT_EQ(png[25], 3); // palette colour type
    std::size_t at = 8;
    std::vector<std::uint8_t> idat, trns, plte;
    while (at + 8 <= png.size()) {
        const std::uint32_t length = be32(png, at);
        const std::string type(png.begin() + at + 4, png.begin() + at + 8);
        std::vector<std::uint8_t> data(png.begin() + at + 8, png.begin() + at + 8 + length);
        const uLong crc = crc32(0, png.data() + at + 4, uInt(length + 4));
        EXPECT_EQ(be32(png, at + 8 + length), std::uint32_t(crc)) << type;
        (type == "IDAT" ? idat : type == "tRNS" ? trns : type == "PLTE" ? plte : data) = data;
        at += 12 + length;
    }
    ASSERT_EQ(trns.size(), 10u);
    EXPECT_EQ(trns[9], 0);
    EXPECT_EQ(trns[8], 255);
    ASSERT_EQ(plte.size(), 768u);
    EXPECT_EQ(plte[3 * 5], palette[4 * 5 + 2]); // red of index 5
    std::vector<std::uint8_t> raw(8);
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, idat.data(), uLong(idat.size())), Z_OK);
    EXPECT_EQ(raw, (std::vector<std::uint8_t>{0, 1, 9, 255, 0, 0, 4, 5}));
}
