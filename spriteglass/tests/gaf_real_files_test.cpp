// Every real GAF of the shared data loads, with the counts and sizes its
// manifest describes.
#include "spriteglass/gaf_file.hpp"

#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

using namespace spriteglass;

namespace {

int frameCount(const classGAF& gaf) {
    int total = 0;
    for (const auto& animation : gaf.Animations()) {
        total += int(animation.Frames().size());
    }
    return total;
}

void expectConsistent(const classGAF& gaf) {
    for (const auto& animation : gaf.Animations()) {
        for (const auto& frame : animation.Frames()) {
            ASSERT_GT(frame.Width(), 0);
            ASSERT_GT(frame.Height(), 0);
            ASSERT_EQ(frame.Pixels().size(), std::size_t(frame.Width()) * frame.Height());
        }
    }
}

} // namespace

TEST(RealGaf, TextureFilesHaveTheirEntriesAndFrames) {
    TOOLKIT_REQUIRE_REAL("gaf/Alien.gaf", alien);
    TOOLKIT_REQUIRE_REAL("gaf/ArmImp.gaf", armImp);
    TOOLKIT_REQUIRE_REAL("gaf/YellowVent.gaf", vent);
    classGAF gaf;
    ASSERT_TRUE(gaf.Load(alien));
    EXPECT_EQ(gaf.Animations().size(), 33u);
    EXPECT_EQ(frameCount(gaf), 51);
    bool raw = false, coded = false;
    for (const auto& animation : gaf.Animations()) {
        for (const auto& frame : animation.Frames()) {
            (frame.Compressed() ? coded : raw) = true;
        }
    }
    EXPECT_TRUE(raw && coded);
    expectConsistent(gaf);

    ASSERT_TRUE(gaf.Load(armImp));
    ASSERT_EQ(gaf.Animations().size(), 1u);
    ASSERT_EQ(gaf.Animations()[0].Frames().size(), 10u);
    for (const auto& frame : gaf.Animations()[0].Frames()) {
        EXPECT_EQ(frame.Width(), 153);
        EXPECT_EQ(frame.Height(), 30);
        EXPECT_FALSE(frame.Compressed());
    }

    ASSERT_TRUE(gaf.Load(vent));
    ASSERT_EQ(gaf.Animations().size(), 1u);
    ASSERT_EQ(gaf.Animations()[0].Frames().size(), 1u);
    EXPECT_EQ(gaf.Animations()[0].Frames()[0].Width(), 32);
    EXPECT_EQ(gaf.Animations()[0].Frames()[0].Height(), 32);
}

TEST(RealGaf, ExplosionAndTinyFilesDecodeTheirRowCode) {
    TOOLKIT_REQUIRE_REAL("gaf/abboom.gaf", boom);
    TOOLKIT_REQUIRE_REAL("gaf/emg shell.gaf", shell);
    classGAF gaf;
    ASSERT_TRUE(gaf.Load(boom));
    ASSERT_EQ(gaf.Animations().size(), 1u);
    ASSERT_EQ(gaf.Animations()[0].Frames().size(), 20u);
    for (const auto& frame : gaf.Animations()[0].Frames()) {
        EXPECT_TRUE(frame.Compressed());
        // An explosion has both transparent and drawn pixels.
        const auto& p = frame.Pixels();
        EXPECT_NE(std::count(p.begin(), p.end(), MaskIndex), 0);
        EXPECT_NE(std::count(p.begin(), p.end(), MaskIndex), std::ptrdiff_t(p.size()));
    }
    expectConsistent(gaf);

    ASSERT_TRUE(gaf.Load(shell));
    EXPECT_EQ(gaf.Animations().size(), 2u);
    EXPECT_EQ(frameCount(gaf), 2);
    expectConsistent(gaf);
}

TEST(RealGaf, EmptyAndVariantFilesLoadWithoutFailure) {
    TOOLKIT_REQUIRE_REAL("gaf/ARMACS1.GAF", empty);
    TOOLKIT_REQUIRE_REAL("gaf/cursors.gaf", cursors);
    classGAF gaf;
    EXPECT_TRUE(gaf.Load(empty));
    EXPECT_TRUE(gaf.FileRead());
    EXPECT_TRUE(gaf.Animations().empty());

    // The variant's entries are listed; its frames do not follow the row code
    // of the usual files and are left out, as any frame that fails to decode.
    EXPECT_TRUE(gaf.Load(cursors));
    ASSERT_EQ(gaf.Animations().size(), 22u);
    EXPECT_EQ(gaf.Animations()[0].Name(), "cursormove");
    expectConsistent(gaf);
}
