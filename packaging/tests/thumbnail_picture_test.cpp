// Scaling and cropping of thumbnail pictures.
#include "thumbnail_picture.hpp"

#include <gtest/gtest.h>

using thumbnail::CropToOpaque;
using thumbnail::ScaleToFit;
using thumbnail::ThumbnailPicture;

namespace {

ThumbnailPicture indexed(int width, int height, std::vector<std::uint8_t> pixels) {
    ThumbnailPicture picture;
    picture.width = width;
    picture.height = height;
    picture.indexed = true;
    picture.pixels = std::move(pixels);
    return picture;
}

} // namespace

TEST(ThumbnailPicture, TheLongerSideBecomesTheSizeAndTheProportionsStay) {
    const ThumbnailPicture wide = indexed(153, 30, std::vector<std::uint8_t>(153 * 30, 1));
    const ThumbnailPicture small = ScaleToFit(wide, 128);
    EXPECT_EQ(small.width, 128);
    EXPECT_EQ(small.height, 25);
    const ThumbnailPicture large = ScaleToFit(wide, 256);
    EXPECT_EQ(large.width, 256);
    EXPECT_EQ(large.height, 50);
    // A line one pixel high keeps one row rather than vanishing.
    const ThumbnailPicture line = ScaleToFit(indexed(1000, 1, std::vector<std::uint8_t>(1000)), 64);
    EXPECT_EQ(line.width, 64);
    EXPECT_EQ(line.height, 1);
    EXPECT_TRUE(line.valid());
}

TEST(ThumbnailPicture, EnlargingRepeatsEachPixelWhole) {
    // 2x2 picture of four indices, enlarged 3 times: 3x3 blocks, no blending.
    const ThumbnailPicture scaled = ScaleToFit(indexed(2, 2, {1, 2, 3, 4}), 6);
    ASSERT_EQ(scaled.pixels.size(), 36u);
    const std::vector<std::uint8_t> expected = {
        1, 1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2, 1, 1, 1, 2, 2, 2,
        3, 3, 3, 4, 4, 4, 3, 3, 3, 4, 4, 4, 3, 3, 3, 4, 4, 4,
    };
    EXPECT_EQ(scaled.pixels, expected);
    // Colour pictures keep their three bytes together.
    ThumbnailPicture rgb;
    rgb.width = 2;
    rgb.height = 1;
    rgb.pixels = {10, 20, 30, 40, 50, 60};
    const ThumbnailPicture wide = ScaleToFit(rgb, 4);
    EXPECT_EQ(wide.height, 2);
    const std::vector<std::uint8_t> row = {10, 20, 30, 10, 20, 30, 40, 50, 60, 40, 50, 60};
    EXPECT_EQ(std::vector<std::uint8_t>(wide.pixels.begin(), wide.pixels.begin() + 12), row);
    EXPECT_EQ(std::vector<std::uint8_t>(wide.pixels.begin() + 12, wide.pixels.end()), row);
}

TEST(ThumbnailPicture, CropKeepsTheOpaquePartAndEmptyWhenThereIsNone) {
    // 4x3 with one opaque 2x2 block at (1, 1).
    const ThumbnailPicture sprite = indexed(4, 3, {9, 9, 9, 9, 9, 5, 6, 9, 9, 7, 8, 9});
    const ThumbnailPicture cropped = CropToOpaque(sprite);
    EXPECT_EQ(cropped.width, 2);
    EXPECT_EQ(cropped.height, 2);
    EXPECT_EQ(cropped.pixels, (std::vector<std::uint8_t>{5, 6, 7, 8}));
    EXPECT_FALSE(CropToOpaque(indexed(2, 2, {9, 9, 9, 9})).valid());
    // Pixels that do not match the size are refused, not read past.
    EXPECT_FALSE(CropToOpaque(indexed(4, 4, {1, 2})).valid());
    EXPECT_FALSE(ScaleToFit(indexed(4, 4, {1, 2}), 8).valid());
}
