// The PCX decoder: 8-bit and 24-bit pictures written by the test writer,
// plane-line padding, the real game pictures, and truncated or hostile files.
#include <gtest/gtest.h>

#include "pcx_image.hpp"
#include "testsupport/pcx_writer.hpp"
#include "testsupport/testsupport.hpp"

namespace crateward::pcx {
namespace {

std::vector<std::uint8_t> pattern(std::size_t n, int seed) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i) {
        // Runs of equal bytes mixed with single bytes, 0xC0 and up included.
        v[i] = std::uint8_t((i / 5 % 3 == 0) ? seed : (i * 37 + std::size_t(seed)) % 256);
    }
    return v;
}

TEST(PcxDecoder, EightBitOddWidthsWithPadding) {
    const auto palette = testsupport::rampPalette();
    for (const int width : {1, 3, 7, 96, 101}) {
        for (const int bytesPerLine : {0, width + 5}) {
            testsupport::PcxFixture fixture;
            fixture.width = width;
            fixture.height = 5;
            fixture.pixels = pattern(std::size_t(width) * 5, width);
            fixture.palette = palette;
            fixture.bytesPerLine = bytesPerLine;
            const auto image = DecodePcx(testsupport::makePcx(fixture));
            ASSERT_TRUE(image) << width;
            EXPECT_TRUE(image->complete);
            EXPECT_EQ(image->width, width);
            EXPECT_EQ(image->height, 5);
            EXPECT_EQ(image->bits, 8);
            EXPECT_EQ(image->indices, fixture.pixels) << width << " " << bytesPerLine;
            const auto rgb = RgbBytes(*image);
            ASSERT_EQ(rgb.size(), fixture.pixels.size() * 3);
            for (std::size_t i = 0; i < fixture.pixels.size(); ++i) {
                const std::size_t p = fixture.pixels[i];
                ASSERT_EQ(rgb[3 * i], palette[3 * p]);
                ASSERT_EQ(rgb[3 * i + 1], palette[3 * p + 1]);
                ASSERT_EQ(rgb[3 * i + 2], palette[3 * p + 2]);
            }
        }
    }
}

TEST(PcxDecoder, TwentyFourBitThreePlanes) {
    for (const int width : {1, 5, 64, 67}) {
        testsupport::PcxFixture fixture;
        fixture.width = width;
        fixture.height = 4;
        fixture.planes = 3;
        fixture.pixels = pattern(std::size_t(width) * 4 * 3, 200);
        const auto image = DecodePcx(testsupport::makePcx(fixture));
        ASSERT_TRUE(image);
        EXPECT_TRUE(image->complete);
        EXPECT_EQ(image->bits, 24);
        EXPECT_TRUE(image->indices.empty());
        EXPECT_EQ(image->rgb, fixture.pixels) << width;
    }
}

TEST(PcxDecoder, WithoutPaletteBlockGivesGreyLevels) {
    testsupport::PcxFixture fixture;
    fixture.width = 4;
    fixture.height = 1;
    fixture.pixels = {0, 10, 200, 255};
    fixture.withPalette = false;
    const auto image = DecodePcx(testsupport::makePcx(fixture));
    ASSERT_TRUE(image);
    EXPECT_EQ(RgbBytes(*image),
              (std::vector<std::uint8_t>{0, 0, 0, 10, 10, 10, 200, 200, 200, 255, 255, 255}));
}

TEST(PcxDecoder, RealPicturesHaveTheirSizes) {
    struct Case {
        const char* file;
        int bits;
    };
    for (const Case c :
         {Case{"pcx/ArmRaz.pcx", 8}, Case{"pcx/cortitan.pcx", 24}, Case{"pcx/juju.pcx", 8}}) {
        TOOLKIT_REQUIRE_REAL(c.file, file);
        std::string error;
        const auto image = LoadPcx(file, &error);
        ASSERT_TRUE(image) << c.file << ": " << error;
        EXPECT_TRUE(image->complete) << c.file;
        EXPECT_EQ(image->width, 96) << c.file;
        EXPECT_EQ(image->height, 96) << c.file;
        EXPECT_EQ(image->bits, c.bits) << c.file;
        // A real picture is not one flat colour.
        const auto rgb = RgbBytes(*image);
        ASSERT_EQ(rgb.size(), std::size_t(96 * 96 * 3));
        EXPECT_NE(std::count(rgb.begin(), rgb.end(), rgb[0]), std::ptrdiff_t(rgb.size())) << c.file;
    }
}

TEST(PcxDecoder, TruncatedFilesGiveThePartDecoded) {
    testsupport::PcxFixture fixture;
    fixture.width = 33;
    fixture.height = 20;
    fixture.pixels = pattern(33 * 20 * 3, 7);
    fixture.planes = 3;
    const auto whole = testsupport::makePcx(fixture);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + std::ptrdiff_t(n));
        std::string error;
        const auto image = DecodePcx(part, &error);
        if (n < 128) {
            ASSERT_FALSE(image) << n;
            continue;
        }
        if (!image) {
            continue; // too little data for the size: refused
        }
        ASSERT_FALSE(image->complete) << n;
        ASSERT_EQ(image->rgb.size(), std::size_t(33 * 20 * 3));
    }
    // Half the data: the first rows are there, the last row is black.
    const std::vector<std::uint8_t> half(
        whole.begin(), whole.begin() + std::ptrdiff_t(128 + (whole.size() - 128) / 2));
    const auto image = DecodePcx(half);
    ASSERT_TRUE(image);
    EXPECT_GT(image->rowsDecoded, 0);
    EXPECT_LT(image->rowsDecoded, 20);
    EXPECT_TRUE(std::equal(image->rgb.begin(), image->rgb.begin() + 99, fixture.pixels.begin()));
    EXPECT_TRUE(
        std::all_of(image->rgb.end() - 99, image->rgb.end(), [](auto b) { return b == 0; }));
}

TEST(PcxDecoder, HostileHeadersAreRefused) {
    testsupport::PcxFixture fixture;
    fixture.width = 8;
    fixture.height = 8;
    fixture.pixels = pattern(64, 1);
    const auto good = testsupport::makePcx(fixture);
    const auto with = [&](std::size_t at, std::uint8_t value) {
        auto bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::string error;
    EXPECT_FALSE(DecodePcx(with(0, 0x0B), &error));
    EXPECT_EQ(error, "not a PCX file");
    EXPECT_FALSE(DecodePcx(with(3, 4)));  // 4 bits per plane
    EXPECT_FALSE(DecodePcx(with(65, 2))); // two planes
    EXPECT_FALSE(DecodePcx(with(2, 7)));  // unknown encoding
    EXPECT_FALSE(DecodePcx(with(66, 4))); // bytes per line below the width
    // xmax below xmin.
    auto window = with(4, 200);
    EXPECT_FALSE(DecodePcx(window));
    // 65535 x 65535 from a few hundred bytes: refused before allocating.
    auto huge = good;
    huge[8] = 0xFE;
    huge[9] = huge[10] = huge[11] = 0xFF;
    huge[66] = huge[67] = 0xFF;
    EXPECT_FALSE(DecodePcx(huge, &error));
    EXPECT_EQ(error, "picture larger than its data");
    // Random bytes behind a valid-looking header never crash.
    for (int seed = 0; seed < 50; ++seed) {
        auto bytes = testsupport::randomBytes(600, std::uint32_t(seed));
        std::copy_n(good.begin(), 70, bytes.begin());
        const auto image = DecodePcx(bytes);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->indices.size(), std::size_t(8 * 8));
    }
}

TEST(PcxDecoder, MissingFileIsAFailure) {
    testsupport::TempDir dir;
    std::string error;
    EXPECT_FALSE(LoadPcx(dir.path() / "none.pcx", &error));
    EXPECT_EQ(error, "cannot read the file");
    testsupport::writeFile(dir.path() / "empty.pcx", std::string_view());
    EXPECT_FALSE(LoadPcx(dir.path() / "empty.pcx"));
}

} // namespace
} // namespace crateward::pcx
