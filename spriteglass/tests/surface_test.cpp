#include "spriteglass/compose.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/surface.hpp"

#include <testsupport/gaf_writer.hpp>

#include <gtest/gtest.h>

using namespace spriteglass;
using testsupport::makeGaf;
using testsupport::rawFrame;

namespace {

IndexedSurface filledSurface(int w, int h, std::uint8_t value) {
    IndexedSurface surface;
    EXPECT_TRUE(surface.Initialize(w, h));
    std::fill(surface.addrBits(), surface.addrBits() + w * h, value);
    return surface;
}

std::string rows(const IndexedSurface& s) {
    std::string out;
    for (int y = 0; y < s.BmpHeight(); ++y) {
        for (int x = 0; x < s.BmpWidth(); ++x) {
            out += char(s.pixel(x, y) < 10     ? '0' + s.pixel(x, y)
                        : s.pixel(x, y) == 255 ? 'B'
                                               : '?');
        }
        out += '\n';
    }
    return out;
}

classGAF loadOne(const testsupport::GafFrameSpec& frame) {
    classGAF gaf;
    gaf.LoadBytes(makeGaf({{"A", {frame}}}));
    return gaf;
}

} // namespace

TEST(ClearTile, FlagZeroWritesTheWholeRectangleFlagOneOnlyOpaquePixels) {
    const std::vector<std::uint8_t> tile = {1, 9, 2, 9};
    IndexedSurface a = filledSurface(4, 2, 7);
    a.ClearTileDraw(1, 0, 2, 2, tile, 9, 255, 0);
    EXPECT_EQ(rows(a), "71B7\n72B7\n");
    IndexedSurface b = filledSurface(4, 2, 7);
    b.ClearTileDraw(1, 0, 2, 2, tile, 9, 255, 1);
    EXPECT_EQ(rows(b), "7177\n7277\n");
}

TEST(TileCopies, ClipAtEveryEdgeOfTheSurface) {
    const std::vector<std::uint8_t> tile = {1, 2, 3, 4, 5, 6, 7, 8, 0};
    IndexedSurface s = filledSurface(4, 3, 9);
    s.TileDraw(-1, -1, 3, 3, tile, 0);
    s.TileDraw(2, 1, 3, 3, tile, 0);
    EXPECT_EQ(rows(s), "5699\n8012\n9945\n");
    // A tile shorter than its rectangle is not drawn at all.
    IndexedSurface t = filledSurface(4, 3, 9);
    t.TileDraw(0, 0, 4, 3, tile, 0);
    t.ClearTileDraw(0, 0, 2, 2, std::vector<std::uint8_t>{1}, 9, 255, 0);
    EXPECT_EQ(rows(t), "9999\n9999\n9999\n");
    // A frame wider than the main surface is cut at its edge.
    IndexedSurface main = filledSurface(1024, 2, 0);
    const std::vector<std::uint8_t> wide(1100 * 2, 3);
    main.ClearTileDraw(0, 0, 1100, 2, wide, 9, 255, 0);
    EXPECT_EQ(main.pixel(1023, 1), 3);
}

TEST(IndexedSurface, RefusesSizesItCannotMake) {
    IndexedSurface s;
    EXPECT_FALSE(s.Initialize(0, 10));
    EXPECT_FALSE(s.Initialize(40000, 40000));
    EXPECT_EQ(s.addrBits(), nullptr);
    s.TileDraw(0, 0, 1, 1, std::vector<std::uint8_t>{1}, 0); // no surface: nothing happens
    EXPECT_TRUE(s.Initialize(1024, 1024));
}

TEST(DisplayOrigin, PlacesTheHotspotOrTheFrameAtTheBoxCentre) {
    classGAF gaf = loadOne(rawFrame(40, 30, {}, 20, 25));
    const classGAFFrame& frame = gaf.Animations()[0].Frames()[0];
    EXPECT_EQ(DisplayOrigin(frame, 300, 200, false).x, 130);
    EXPECT_EQ(DisplayOrigin(frame, 300, 200, false).y, 75);
    EXPECT_EQ(DisplayOrigin(frame, 300, 200, true).x, 130);
    EXPECT_EQ(DisplayOrigin(frame, 300, 200, true).y, 85);
    // Halves go to the even neighbour: 301/2 - 20 = 130.5 -> 130; 303/2 - 20 = 131.5 -> 132.
    EXPECT_EQ(DisplayOrigin(frame, 301, 200, false).x, 130);
    EXPECT_EQ(DisplayOrigin(frame, 303, 200, false).x, 132);
}

TEST(PreviewSurfaceSize, RoundsTheLargestFramePlus96DownToFour) {
    testsupport::GafFrameSpec parent = rawFrame(10, 10);
    parent.subframes = {rawFrame(45, 5), rawFrame(3, 30)};
    classGAF gaf;
    gaf.LoadBytes(makeGaf({{"A", {rawFrame(20, 20), parent}}, {"Empty", {}}}));
    const PreviewSize size = PreviewSurfaceSize(gaf.Animations()[0]);
    EXPECT_EQ(size.width, 140);
    EXPECT_EQ(size.height, 124);
    EXPECT_EQ(PreviewSurfaceSize(gaf.Animations()[1]).width, 96);
}

TEST(ComposePreviewPicture, LaterSubframesCoverEarlierOnesWhereOpaque) {
    // Both 3x1 with hotspot (1, 0), so they overlap exactly at the centre row.
    testsupport::GafFrameSpec parent = rawFrame(3, 1);
    parent.subframes = {rawFrame(3, 1, {1, 2, 9}, 1, 0), rawFrame(3, 1, {9, 4, 9}, 1, 0)};
    classGAF gaf = loadOne(parent);
    IndexedSurface surface;
    ASSERT_TRUE(surface.Initialize(8, 2));
    const std::vector<std::uint8_t> background(16, BackIndex);
    std::fill(surface.addrBits(), surface.addrBits() + 16, 0); // stale content is replaced
    ComposePreviewPicture(surface, background, gaf.Animations()[0].Frames()[0]);
    EXPECT_EQ(rows(surface), "BBBBBBBB\nBBB14BBB\n");
}
