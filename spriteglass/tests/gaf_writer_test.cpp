// The GAF writer: every shape of tree written and read back the same, the
// files the test-support writer lays out written back byte for byte, and
// trees that cannot be stored refused with their reason.
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_json.hpp"
#include "spriteglass/gaf_writer.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

using namespace spriteglass;
namespace fs = std::filesystem;

namespace {

GafFrameFields fields(int width, int height, std::uint8_t compression = 0) {
    GafFrameFields f;
    f.Width = width;
    f.Height = height;
    f.compression = compression;
    return f;
}

classGAFFrame picture(int width, int height, std::uint8_t compression, std::uint8_t seed) {
    std::vector<std::uint8_t> pixels(std::size_t(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = std::uint8_t((i / 70 + seed) % 3 == 0 ? MaskIndex : (i / 3 + seed) % 7);
    }
    return classGAFFrame(fields(width, height, compression), pixels);
}

void expectSameFields(const classGAFFrame& a, const classGAFFrame& b) {
    const GafFrameFields &x = a.Fields(), &y = b.Fields();
    EXPECT_EQ(std::tie(x.Width, x.Height, x.PositionX, x.PositionY, x.unknown8, x.compression,
                       x.unknown11, x.unknown12, x.FPS),
              std::tie(y.Width, y.Height, y.PositionX, y.PositionY, y.unknown8, y.compression,
                       y.unknown11, y.unknown12, y.FPS));
    ASSERT_EQ(a.Subframes().size(), b.Subframes().size());
    for (std::size_t j = 0; j < a.Subframes().size(); ++j) {
        expectSameFields(a.Subframes()[j], b.Subframes()[j]);
    }
}

// The written file read back: the same description and every field kept.
classGAF roundTrip(const classGAF& gaf) {
    const GafWriteResult written = GafFileBytes(gaf);
    EXPECT_TRUE(written.ok()) << written.error;
    classGAF back;
    back.LoadBytes(written.bytes);
    EXPECT_EQ(GafInfoJson(back), GafInfoJson(gaf));
    EXPECT_EQ(back.Unknown8(), gaf.Unknown8());
    EXPECT_EQ(back.Version(), classGAF::StandardVersion);
    EXPECT_EQ(back.Animations().size(), gaf.Animations().size());
    for (std::size_t i = 0; i < std::min(back.Animations().size(), gaf.Animations().size()); ++i) {
        const classGAFAnimation &a = gaf.Animations()[i], &b = back.Animations()[i];
        EXPECT_EQ(b.FrameTags(), a.FrameTags());
        EXPECT_EQ(b.Fields().unknown2, a.Fields().unknown2);
        EXPECT_EQ(b.Fields().unknown4, a.Fields().unknown4);
        EXPECT_EQ(b.Fields().namePadding, a.Fields().namePadding);
        for (std::size_t f = 0; f < a.Frames().size(); ++f) {
            expectSameFields(a.Frames()[f], b.Frames()[f]);
        }
    }
    return back;
}

std::string refusal(const classGAF& gaf) {
    return GafFileBytes(gaf).error;
}

classGAF oneEntry(std::string name, std::vector<classGAFFrame> frames) {
    std::vector<std::int32_t> tags(frames.size(), 10);
    return classGAF({classGAFAnimation(std::move(name), {}, std::move(frames), tags, false)});
}

} // namespace

TEST(GafWriter, EveryShapeReadsBackAsTheSameTree) {
    GafFrameFields odd = fields(5, 4, 1);
    odd.PositionX = -3;
    odd.PositionY = 300;
    odd.unknown8 = 0xAB;
    odd.unknown11 = 7;
    odd.unknown12 = -12345;
    odd.FPS = 15;
    std::vector<std::uint8_t> transparentRows(20, MaskIndex);
    transparentRows[7] = 1;
    std::vector<std::uint8_t> longRuns(2048 * 3, 4);
    std::fill(longRuns.begin() + 2048, longRuns.begin() + 4096, MaskIndex);
    std::vector<classGAFFrame> frames = {
        picture(1, 1, 0, 1),
        picture(1, 1, 1, 2),
        picture(30, 20, 0, 3),
        picture(30, 20, 1, 4),
        classGAFFrame(odd, transparentRows),
        classGAFFrame(fields(2048, 3, 1), longRuns),
        classGAFFrame(fields(2048, 3, 0), longRuns),
        classGAFFrame(fields(4, 4, 7), std::vector<std::uint8_t>(16, MaskIndex)), // no pixel data
    };
    const classGAFFrame nested(
        fields(8, 8, 1), {},
        {picture(3, 3, 1, 5), classGAFFrame(fields(6, 6, 0), {}, {picture(2, 5, 0, 6)})});
    frames.push_back(nested);
    GafEntryFields entryFields;
    entryFields.unknown2 = -2;
    entryFields.unknown4 = 99;
    entryFields.namePadding = std::string(1, '\0') + std::string(27, ' ');
    std::vector<std::int32_t> tags(frames.size(), 2);
    tags[1] = 0x7F1A;
    classGAF gaf({classGAFAnimation("Boom", entryFields, frames, tags, true),
                  classGAFAnimation(std::string(32, 'N'), {}, {picture(2, 2, 1, 8)}, {10}, false),
                  classGAFAnimation("empty", {}, {}, {}, false)},
                 classGAF::StandardVersion, 77);
    roundTrip(gaf);
}

TEST(GafWriter, AnAnimatedEntryWithoutTag2GetsAnEmptyTableRowThatKeepsItAnimated) {
    classGAF gaf({classGAFAnimation("spin", {}, {picture(3, 3, 0, 1)}, {10}, true),
                  classGAFAnimation("still", {}, {}, {}, true)});
    const classGAF back = roundTrip(gaf);
    EXPECT_TRUE(back.Animations()[0].Animated());
    EXPECT_EQ(back.Animations()[0].Frames().size(), 1u);
    EXPECT_TRUE(back.Animations()[1].Animated());
}

TEST(GafWriter, FilesLaidOutAsTheGameDoesAreWrittenBackByteForByte) {
    using testsupport::GafFrameSpec;
    GafFrameSpec raw = testsupport::rawFrame(3, 2, {1, 2, 3, 9, 9, 9}, 1, -1);
    raw.fps = 4;
    raw.byte11 = 3;
    raw.tag = 2;
    GafFrameSpec coded;
    coded.width = 7;
    coded.height = 2;
    coded.compression = 1;
    coded.data = testsupport::codedRows({{0x05, 0x0A, 0x2A, 0x04, 0x10, 0x11}, {}});
    GafFrameSpec parent = testsupport::rawFrame(5, 5);
    parent.data.clear();
    parent.compression = 1;
    parent.subframes = {testsupport::rawFrame(2, 2, {1, 2, 3, 4}), coded};
    const auto bytes = testsupport::makeGaf({{"walk", {raw, coded}}, {"parts", {parent}}});
    classGAF gaf;
    gaf.LoadBytes(bytes);
    GafWriteResult written = GafFileBytes(gaf);
    ASSERT_TRUE(written.ok()) << written.error;
    EXPECT_EQ(written.bytes, bytes);
}

TEST(GafWriter, TreesThatCannotBeStoredAreRefusedWithTheirReason) {
    EXPECT_NE(refusal(oneEntry(std::string(33, 'x'), {})).find("longer than 32 bytes"),
              std::string::npos);
    EXPECT_NE(refusal(oneEntry(std::string("a\0b", 3), {})).find("NUL"), std::string::npos);
    EXPECT_NE(refusal(classGAF({classGAFAnimation("Fire", {}, {}, {}, false),
                                classGAFAnimation("FIRE", {}, {}, {}, false)}))
                  .find("same name"),
              std::string::npos);
    std::vector<classGAFFrame> many(256, picture(1, 1, 0, 0));
    EXPECT_NE(refusal(oneEntry("x", {classGAFFrame(fields(2, 2), {}, many)}))
                  .find("more than 255 subframes"),
              std::string::npos);
    classGAFFrame deep = picture(1, 1, 0, 0);
    for (int level = 0; level < 17; ++level) {
        deep = classGAFFrame(fields(1, 1), {}, {deep});
    }
    EXPECT_NE(refusal(oneEntry("x", {deep})).find("deeper"), std::string::npos);
    EXPECT_NE(refusal(oneEntry("x", {classGAFFrame(fields(0, 3), {})})).find("size"),
              std::string::npos);
    EXPECT_NE(refusal(oneEntry("x", {classGAFFrame(fields(40000, 1), {})})).find("size"),
              std::string::npos);
    EXPECT_NE(refusal(oneEntry("x", {classGAFFrame(fields(2, 2), {1, 2, 3})})).find("pixels"),
              std::string::npos);
    std::vector<std::uint8_t> alternating(32767);
    for (std::size_t i = 0; i < alternating.size(); ++i) {
        alternating[i] = std::uint8_t(i % 2);
    }
    EXPECT_NE(refusal(oneEntry("x", {classGAFFrame(fields(32767, 1, 1), alternating)}))
                  .find("store the frame raw"),
              std::string::npos);
    // 4096 x 4096 transparent pixels take 8 KiB of rows: far more pixels than
    // the reader takes from a file that small.
    EXPECT_NE(refusal(oneEntry("x", {classGAFFrame(fields(4096, 4096, 1),
                                                   std::vector<std::uint8_t>(4096 * 4096, 9))}))
                  .find("more pixels than the reader accepts"),
              std::string::npos);
    // One level less deep is still read whole.
    classGAFFrame deepest = picture(1, 1, 0, 0);
    for (int level = 0; level < 16; ++level) {
        deepest = classGAFFrame(fields(1, 1), {}, {deepest});
    }
    roundTrip(oneEntry("x", {deepest}));
}

TEST(GafWriter, SavingReplacesTheFileWholeAndAFailureKeepsTheOldOne) {
    testsupport::TempDir dir;
    const fs::path file = dir / "out.gaf";
    testsupport::writeFile(file, std::string(5000, 'o'));
    std::string error;
    ASSERT_TRUE(SaveGafFile(file, oneEntry("a", {picture(2, 2, 1, 1)}), error)) << error;
    classGAF back;
    back.Load(file);
    ASSERT_EQ(back.Animations().size(), 1u);
    EXPECT_LT(fs::file_size(file), 5000u);

    const auto before = testsupport::readFile(file);
    EXPECT_FALSE(SaveGafFile(file, oneEntry(std::string(33, 'x'), {}), error));
    EXPECT_NE(error.find("32 bytes"), std::string::npos);
    EXPECT_EQ(testsupport::readFile(file), before);
    EXPECT_FALSE(SaveGafFile(dir / "missing" / "out.gaf", oneEntry("a", {}), error));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A file large enough to have its frames encoded on several threads: every
// frame lands where its record says, in order, and an overlong row in one
// frame is still reported for that frame.
TEST(GafWriter, ALargeFileEncodedOnSeveralThreadsKeepsEveryFrameInItsPlace) {
    std::vector<classGAFFrame> frames;
    for (std::uint8_t f = 0; f < 12; ++f) {
        frames.push_back(picture(600 + f, 600, 1, f)); // about 4,400,000 pixels in all
    }
    frames.push_back(picture(5, 5, 0, 1));
    roundTrip(oneEntry("big", frames));

    // 32767 pixels with no two neighbours equal cannot be one row's code.
    std::vector<std::uint8_t> alternating(32767);
    for (std::size_t i = 0; i < alternating.size(); ++i) {
        alternating[i] = std::uint8_t(i % 2);
    }
    frames.insert(frames.begin() + 7, classGAFFrame(fields(32767, 1, 1), alternating));
    EXPECT_EQ(refusal(oneEntry("big", frames)),
              "entry 1 (\"big\") frame 8: a run-length row is longer than 32767 bytes (store "
              "the frame raw)");
}
