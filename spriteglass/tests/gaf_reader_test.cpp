#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_load_context.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <chrono>

using namespace spriteglass;
using testsupport::codedRows;
using testsupport::GafEntrySpec;
using testsupport::GafFrameSpec;
using testsupport::makeGaf;
using testsupport::rawFrame;
namespace fs = std::filesystem;

namespace {

classGAF loadBytes(const std::vector<std::uint8_t>& bytes) {
    classGAF gaf;
    EXPECT_TRUE(gaf.LoadBytes(bytes));
    return gaf;
}

GafFrameSpec codedFrame(std::int16_t width, std::int16_t height, std::vector<std::uint8_t> rows) {
    GafFrameSpec frame;
    frame.width = width;
    frame.height = height;
    frame.compression = 1;
    frame.data = std::move(rows);
    return frame;
}

std::vector<std::uint8_t> pixelsOfOnlyFrame(const std::vector<std::uint8_t>& bytes) {
    classGAF gaf = loadBytes(bytes);
    if (gaf.Animations().size() != 1 || gaf.Animations()[0].Frames().size() != 1) {
        return {};
    }
    return gaf.Animations()[0].Frames()[0].Pixels();
}

} // namespace

TEST(GafLoad, EmptyMissingAndUnreadableFilesGiveAnEmptyListAndTrue) {
    testsupport::TempDir dir;
    classGAF gaf;
    EXPECT_TRUE(gaf.Load(dir / "absent.gaf"));
    EXPECT_TRUE(gaf.Animations().empty());
    EXPECT_FALSE(gaf.FileRead());
    EXPECT_FALSE(fs::exists(dir / "absent.gaf"));

    EXPECT_TRUE(gaf.Load(dir.path())); // a folder
    EXPECT_TRUE(gaf.Animations().empty());

    testsupport::writeFile(dir / "zero.gaf", std::vector<std::uint8_t>{});
    EXPECT_TRUE(gaf.Load(dir / "zero.gaf"));
    EXPECT_TRUE(gaf.Animations().empty());
    EXPECT_TRUE(gaf.FileRead());

    testsupport::writeFile(dir / "none.gaf", makeGaf({}));
    EXPECT_TRUE(gaf.Load(dir / "none.gaf"));
    EXPECT_TRUE(gaf.Animations().empty());
}

TEST(GafLoad, ReadsFieldsNamesTagsAndProgress) {
    GafFrameSpec frame = rawFrame(3, 2, {1, 2, 3, 4, 5, 6}, -4, 7);
    frame.fps = 12;
    frame.tag = 2;
    GafFrameSpec skipped = rawFrame(1, 1);
    skipped.tableOffset = 0; // no frame
    const std::string longName(32, 'L');
    auto bytes = makeGaf({{"Walk", {frame, skipped}}, {longName, {rawFrame(1, 1)}}});
    std::vector<std::pair<int, int>> progress;
    classGAF gaf;
    gaf.LoadBytes(bytes, [&](int value, int max) { progress.emplace_back(value, max); });
    ASSERT_EQ(gaf.Animations().size(), 2u);
    const classGAFAnimation& walk = gaf.Animations()[0];
    EXPECT_EQ(walk.Name(), "Walk");
    EXPECT_TRUE(walk.Animated());
    ASSERT_EQ(walk.Frames().size(), 1u);
    const classGAFFrame& f = walk.Frames()[0];
    EXPECT_EQ(f.Width(), 3);
    EXPECT_EQ(f.Height(), 2);
    EXPECT_EQ(f.PositionX(), -4);
    EXPECT_EQ(f.PositionY(), 7);
    EXPECT_EQ(f.FPS(), 12);
    EXPECT_FALSE(f.Compressed());
    EXPECT_EQ(f.Pixels(), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(gaf.Animations()[1].Name(), longName); // no NUL: all 32 characters
    EXPECT_FALSE(gaf.Animations()[1].Animated());
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));
}

TEST(GafLoad, FirstOfTwoNamesDifferingInCaseWins) {
    auto bytes = makeGaf({{"Walk", {rawFrame(1, 1)}},
                          {"WALK", {rawFrame(2, 2), rawFrame(2, 2)}},
                          {"\xE9t\xE9", {rawFrame(1, 1)}}, // été in Windows-1252
                          {"\xC9T\xC9", {rawFrame(1, 1)}}, // ÉTÉ
                          {"Run", {}}});
    classGAF gaf = loadBytes(bytes);
    ASSERT_EQ(gaf.Animations().size(), 3u);
    EXPECT_EQ(gaf.Animations()[0].Frames().size(), 1u);
    EXPECT_EQ(gaf.Animations()[1].Name(), "\xE9t\xE9");
    ASSERT_NE(gaf.Find("wAlK"), nullptr);
    EXPECT_EQ(gaf.Find("wAlK")->Frames().size(), 1u);
    EXPECT_EQ(gaf.Find("RUN")->Frames().size(), 0u);
}

TEST(GafLoad, FramesWithoutSizeAreDroppedAndTheNextTakesTheirNumber) {
    GafFrameSpec noWidth = rawFrame(0, 5);
    GafFrameSpec negative = rawFrame(-2, -3, std::vector<std::uint8_t>(6, 1));
    auto bytes = makeGaf({{"A", {noWidth, negative, rawFrame(2, 1, {7, 8})}}});
    classGAF gaf = loadBytes(bytes);
    ASSERT_EQ(gaf.Animations()[0].Frames().size(), 1u);
    EXPECT_EQ(gaf.Animations()[0].Frames()[0].Pixels(), (std::vector<std::uint8_t>{7, 8}));
}

TEST(GafLoad, SubframesReplaceRowCodeAndLeaveTheFrameAtMaskIndex) {
    GafFrameSpec frame = codedFrame(4, 3, {});
    frame.subframes = {rawFrame(1, 1, {1}), rawFrame(2, 1, {2, 3}), rawFrame(1, 2, {4, 5})};
    GafFrameSpec nested = rawFrame(2, 2);
    nested.subframes = {frame};
    classGAF gaf = loadBytes(makeGaf({{"A", {frame, nested}}}));
    const auto& frames = gaf.Animations()[0].Frames();
    ASSERT_EQ(frames.size(), 2u);
    ASSERT_EQ(frames[0].Subframes().size(), 3u);
    EXPECT_EQ(frames[0].Pixels(), std::vector<std::uint8_t>(12, MaskIndex));
    EXPECT_EQ(frames[0].Subframes()[1].Pixels(), (std::vector<std::uint8_t>{2, 3}));
    EXPECT_TRUE(frames[0].Compressed());
    ASSERT_EQ(frames[1].Subframes().size(), 1u);
    EXPECT_EQ(frames[1].Subframes()[0].Subframes().size(), 3u);
}

TEST(GafLoad, TheByteBehindTheSubframeCountIsIgnored) {
    GafFrameSpec frame = rawFrame(2, 1, {5, 6});
    frame.byte11 = 3;
    EXPECT_EQ(pixelsOfOnlyFrame(makeGaf({{"A", {frame}}})), (std::vector<std::uint8_t>{5, 6}));
}

TEST(GafRowCode, DecodesSkipsRepeatsAndLiterals) {
    // skip 2; three pixels of 0x2A; two literal pixels.
    auto rows = codedRows({{0x05, 0x0A, 0x2A, 0x04, 0x10, 0x11}});
    EXPECT_EQ(pixelsOfOnlyFrame(makeGaf({{"A", {codedFrame(7, 1, rows)}}})),
              (std::vector<std::uint8_t>{9, 9, 0x2A, 0x2A, 0x2A, 0x10, 0x11}));
}

TEST(GafRowCode, EmptyRowsReadNoBytesAndRunsContinueIntoTheNextRow) {
    // Row 0: count -1, nothing behind it. Row 1: a run of 5 in a 3-wide frame
    // spills into row 2. Row 2: count 0.
    std::vector<std::uint8_t> rows = {0xFF, 0xFF, 0x02, 0x00, 0x12, 0x07, 0x00, 0x00};
    EXPECT_EQ(pixelsOfOnlyFrame(makeGaf({{"A", {codedFrame(3, 3, rows)}}})),
              (std::vector<std::uint8_t>{9, 9, 9, 7, 7, 7, 7, 7, 9}));
}

TEST(GafRowCode, OverrunsOfTheBufferOrTheRowDropTheFrame) {
    const std::vector<std::vector<std::vector<std::uint8_t>>> bad = {
        {{0x0A, 0x01}, {0x0E, 0x02}},  // second row's run of 4 passes the end of a 2x2 buffer
        {{0x08, 0x01}},                // literal run of 3 with one byte
        {{0x02}},                      // repeat run with no value byte
        {{0xFF, 0xFF, 0xFF, 0x00, 1}}, // skip far past the end, then write
    };
    for (const auto& rows : bad) {
        auto bytes = makeGaf({{"A", {codedFrame(2, 2, codedRows(rows)), rawFrame(1, 1, {4})}}});
        classGAF gaf = loadBytes(bytes);
        ASSERT_EQ(gaf.Animations()[0].Frames().size(), 1u);
        EXPECT_EQ(gaf.Animations()[0].Frames()[0].Pixels(), std::vector<std::uint8_t>{4});
    }
}

TEST(GafLoad, OtherCompressionBytesReadNoPixels) {
    GafFrameSpec frame = rawFrame(2, 2);
    frame.compression = 7;
    frame.data.clear();
    EXPECT_EQ(pixelsOfOnlyFrame(makeGaf({{"A", {frame}}})), std::vector<std::uint8_t>(4, 9));
}

TEST(GafHostile, SubframeCyclesAreLeftOut) {
    GafFrameSpec frame = rawFrame(2, 2);
    frame.subframes = {rawFrame(1, 1, {3})};
    auto bytes = makeGaf({{"A", {frame}}});
    // Header 12, one entry offset, entry 40, frame table 8: the frame record
    // lies at 64 and its subframe list at 88. Point the subframe at its parent.
    bytes[88] = 64;
    classGAF gaf = loadBytes(bytes);
    ASSERT_EQ(gaf.Animations()[0].Frames().size(), 1u);
    EXPECT_TRUE(gaf.Animations()[0].Frames()[0].Subframes().empty());
}

TEST(GafHostile, DeepNestingIsCutAndSharedSubframesAreBounded) {
    GafFrameSpec chain = rawFrame(1, 1, {1});
    for (int i = 0; i < 40; ++i) {
        GafFrameSpec parent = rawFrame(1, 1);
        parent.subframes = {chain};
        chain = parent;
    }
    classGAF gaf = loadBytes(makeGaf({{"A", {chain}}}));
    int depth = 0;
    for (const classGAFFrame* f = &gaf.Animations()[0].Frames()[0]; !f->Subframes().empty();
         f = &f->Subframes()[0]) {
        ++depth;
    }
    EXPECT_EQ(depth, GafLoadContext::MaxSubframeDepth);

    // Sixteen levels of records, each listing the next level 255 times: no
    // cycle, but an exponential tree unless the loader bounds its work.
    std::vector<std::uint8_t> bytes = makeGaf({{"A", {rawFrame(1, 1)}}});
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int b = 0; b < 4; ++b) {
            bytes[at + b] = std::uint8_t(v >> (8 * b));
        }
    };
    const int levels = 16;
    std::vector<std::uint32_t> at(levels + 1);
    for (int level = 0; level <= levels; ++level) {
        at[level] = std::uint32_t(bytes.size());
        bytes.insert(bytes.end(), bytes.begin() + 64, bytes.begin() + 88); // a 1x1 record
        bytes.push_back(5);                                                // its pixel
        put32(at[level] + 16, at[level] + 24);
    }
    for (int level = 0; level < levels; ++level) {
        bytes[at[level] + 10] = 255;
        const std::uint32_t list = std::uint32_t(bytes.size());
        bytes.resize(bytes.size() + 4 * 255);
        for (int j = 0; j < 255; ++j) {
            put32(list + 4 * j, at[level + 1]);
        }
        put32(at[level] + 16, list);
    }
    put32(56, at[0]); // the entry's frame table names level 0
    const auto start = std::chrono::steady_clock::now();
    classGAF bounded = loadBytes(bytes);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    ASSERT_EQ(bounded.Animations().size(), 1u);
}

TEST(GafHostile, HugeFramesAreRefusedAndTruncatedFilesNeverCrash) {
    GafFrameSpec huge = rawFrame(1, 1);
    huge.width = 32767;
    huge.height = 32767;
    huge.compression = 5; // would need no pixel data at all
    huge.data.clear();
    classGAF gaf = loadBytes(makeGaf({{"A", {huge, rawFrame(1, 1, {2})}}}));
    ASSERT_EQ(gaf.Animations()[0].Frames().size(), 1u);

    GafFrameSpec coded = codedFrame(7, 1, codedRows({{0x05, 0x0A, 0x2A, 0x04, 0x10, 0x11}}));
    GafFrameSpec parent = rawFrame(3, 3);
    parent.subframes = {coded, rawFrame(2, 2, {1, 2, 3, 4})};
    const auto bytes = makeGaf({{"A", {parent, coded}}, {"B", {rawFrame(4, 4)}}});
    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        classGAF cut;
        cut.LoadBytes(std::span(bytes.data(), n));
    }
    // About 1 % of the bytes damaged, many times over.
    auto noise = testsupport::randomBytes(bytes.size() * 200, 7);
    for (int round = 0; round < 200; ++round) {
        auto damaged = bytes;
        for (std::size_t i = 0; i < damaged.size(); ++i) {
            if (noise[round * bytes.size() + i] < 3) {
                damaged[i] = noise[(round * bytes.size() + i * 31) % noise.size()];
            }
        }
        classGAF hurt;
        hurt.LoadBytes(damaged);
    }
}

TEST(GafHostile, AnEntryWhoseNameWasTakenIsNotLoadedAndSpendsNoneOfTheBudget) {
    // Each "A" asks for half the pixels a small file may make; before, the
    // second was loaded (and then dropped for its name) and left no room for B.
    GafFrameSpec half = rawFrame(1448, 1448);
    half.compression = 5; // no pixel data needed
    half.data.clear();
    GafFrameSpec large = rawFrame(1500, 1000);
    large.compression = 5;
    large.data.clear();
    classGAF gaf = loadBytes(makeGaf({{"A", {half}}, {"a", {half}}, {"B", {large}}}));
    ASSERT_EQ(gaf.Animations().size(), 2u);
    EXPECT_EQ(gaf.Animations()[1].Name(), "B");
    EXPECT_EQ(gaf.Animations()[1].Frames().size(), 1u);
}
