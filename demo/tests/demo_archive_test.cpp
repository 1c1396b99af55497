// The built demo archive: a whole unit laid out as the game's archives are,
// whose members load in the engines that show them.
#include "hpiutil/archive.hpp"
#include "meshglass/ModelFile.hpp"
#include "meshglass/class3do.hpp"
#include "pcx_image.hpp"
#include "spriteglass/gaf_file.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DemoArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        auto opened = hpiutil::Archive::open(DEMO_ARCHIVE);
        ASSERT_TRUE(opened) << opened.error().message();
        archive_ = new hpiutil::Archive(std::move(opened).value());
    }
    static void TearDownTestSuite() {
        delete archive_;
        archive_ = nullptr;
    }

    static std::vector<std::uint8_t> member(const std::string& path) {
        const auto index = archive_->find(path);
        EXPECT_TRUE(index) << path;
        if (!index) {
            return {};
        }
        auto bytes = archive_->readAll(archive_->entries()[std::size_t(*index)]);
        EXPECT_TRUE(bytes) << path;
        return bytes ? std::move(bytes).value() : std::vector<std::uint8_t>{};
    }

    static std::string text(const std::string& path) {
        const auto bytes = member(path);
        return {bytes.begin(), bytes.end()};
    }

    static inline hpiutil::Archive* archive_ = nullptr;
};

TEST_F(DemoArchive, HoldsEveryFileOfTheUnitAndVerifiesClean) {
    const std::vector<std::string> files = {"units\\armdemo.fbi",
                                            "objects3d\\armdemo.3do",
                                            "objects3d\\armdemo_dead.3do",
                                            "scripts\\armdemo.cob",
                                            "anims\\armdemo_gadget.gaf",
                                            "textures\\armdemo.gaf",
                                            "unitpics\\armdemo.pcx",
                                            "sounds\\armdemosel.wav",
                                            "sounds\\armdemofire.wav",
                                            "weapons\\armdemo_weapons.tdf",
                                            "download\\armdemo.tdf",
                                            "features\\corpses\\armdemo_dead.tdf",
                                            "ReadMe.txt"};
    std::vector<std::string> found;
    for (const hpiutil::Entry& e : archive_->entries()) {
        if (!e.directory) {
            found.push_back(e.path);
            EXPECT_GT(e.size, 0u) << e.path;
        }
    }
    EXPECT_EQ(found.size(), files.size());
    for (const std::string& f : files) {
        EXPECT_TRUE(archive_->find(f)) << f;
    }
    const hpiutil::VerifyReport report = archive_->verify();
    EXPECT_TRUE(report.clean());
    EXPECT_EQ(report.filesChecked, files.size());
}

TEST_F(DemoArchive, TextFilesNameTheUnitWithCrlfLineEnds) {
    const std::string fbi = text("units\\armdemo.fbi");
    EXPECT_EQ(fbi.rfind("[UNITINFO]\r\n{\r\n", 0), 0u);
    for (const char* field : {"UnitName=armdemo;", "Objectname=armdemo;", "Side=ARM;",
                              "Weapon1=ARMDEMO_LASER;", "Corpse=armdemo_dead;"}) {
        EXPECT_NE(fbi.find(field), std::string::npos) << field;
    }
    EXPECT_EQ(fbi.find("\n"), fbi.find("\r\n") + 1) << "every line ends with CRLF";
    for (std::size_t i = fbi.find('\n'); i != std::string::npos; i = fbi.find('\n', i + 1)) {
        ASSERT_EQ(fbi[i - 1], '\r') << "at " << i;
    }
    EXPECT_NE(text("weapons\\armdemo_weapons.tdf").find("[ARMDEMO_LASER]"), std::string::npos);
    EXPECT_NE(text("download\\armdemo.tdf").find("UNITNAME=armdemo;"), std::string::npos);
    EXPECT_NE(text("features\\corpses\\armdemo_dead.tdf").find("object=armdemo_dead;"),
              std::string::npos);
}

TEST_F(DemoArchive, SpritesLoadWithRawAndCodedFrames) {
    spriteglass::classGAF gadget;
    ASSERT_TRUE(gadget.LoadBytes(member("anims\\armdemo_gadget.gaf")));
    ASSERT_EQ(gadget.Animations().size(), 2u);
    const auto* button = gadget.Find("ARMDEMO");
    ASSERT_NE(button, nullptr);
    ASSERT_EQ(button->Frames().size(), 1u);
    EXPECT_EQ(button->Frames()[0].Width(), 64);
    EXPECT_EQ(button->Frames()[0].Height(), 64);

    const auto* beacon = gadget.Find("armdemo_beacon");
    ASSERT_NE(beacon, nullptr);
    EXPECT_TRUE(beacon->Animated());
    ASSERT_EQ(beacon->Frames().size(), 6u);
    for (std::size_t i = 0; i < beacon->Frames().size(); ++i) {
        const auto& f = beacon->Frames()[i];
        EXPECT_EQ(f.Compressed(), i % 2 == 1) << i;
        ASSERT_EQ(f.Pixels().size(), 24u * 24u);
        EXPECT_EQ(f.Pixels().front(), 9) << "transparent corner, frame " << i;
        EXPECT_EQ(f.Pixels()[12 * 24 + 12], 208) << "yellow centre, frame " << i;
    }

    spriteglass::classGAF textures;
    ASSERT_TRUE(textures.LoadBytes(member("textures\\armdemo.gaf")));
    ASSERT_EQ(textures.Animations().size(), 2u);
    EXPECT_NE(textures.Find("armdemo_plate"), nullptr);
}

TEST_F(DemoArchive, ModelsLoadAsAPieceTreeWithColouredPolygons) {
    meshglass::ModelFile file(member("objects3d\\armdemo.3do"));
    const auto root = meshglass::LoadModel(file);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(file.errorCount(), 0);
    EXPECT_EQ(root->Name, "base");
    EXPECT_EQ(root->Primitives.size(), 12u);
    const meshglass::class3do* turret = root->Object("turret");
    ASSERT_NE(turret, nullptr);
    EXPECT_EQ(turret->Primitives.size(), 6u);
    const meshglass::class3do* barrel = turret->Object("barrel");
    ASSERT_NE(barrel, nullptr);
    ASSERT_NE(barrel->Object("flare"), nullptr);
    for (const auto& p : root->Primitives) {
        EXPECT_GT(p.Color, 0);
        EXPECT_EQ(p.VertexList.size(), 4u);
    }
    // The hull names the plate texture of the archive's own texture file.
    EXPECT_EQ(root->Primitives[0].TextureName, "");
    EXPECT_EQ(root->Primitives[6].TextureName, "armdemo_plate");

    meshglass::ModelFile wreck(member("objects3d\\armdemo_dead.3do"));
    const auto dead = meshglass::LoadModel(wreck);
    ASSERT_NE(dead, nullptr);
    EXPECT_EQ(wreck.errorCount(), 0);
    EXPECT_EQ(dead->Primitives.size(), 18u);
}

TEST_F(DemoArchive, UnitPictureIsA64PixelPictureInTheGamePalette) {
    std::string error;
    const auto picture = crateward::pcx::DecodePcx(member("unitpics\\armdemo.pcx"), &error);
    ASSERT_TRUE(picture) << error;
    EXPECT_EQ(picture->width, 64);
    EXPECT_EQ(picture->height, 64);
    EXPECT_EQ(picture->bits, 8);
    EXPECT_TRUE(picture->complete);
    // Index 9, the game's transparent blue, is (84, 84, 252).
    EXPECT_EQ(picture->palette[27], 84);
    EXPECT_EQ(picture->palette[29], 252);
}

TEST_F(DemoArchive, SoundsAreWholePcmFilesAndTheScriptHeaderPointsInside) {
    auto le32 = [](const std::vector<std::uint8_t>& b, std::size_t at) {
        return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 |
               std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 3]) << 24;
    };
    for (const char* name : {"sounds\\armdemosel.wav", "sounds\\armdemofire.wav"}) {
        const auto wav = member(name);
        ASSERT_GT(wav.size(), 44u) << name;
        EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
        EXPECT_EQ(le32(wav, 4), wav.size() - 8) << name;
        EXPECT_EQ(le32(wav, 24), 22050u) << name;
        EXPECT_LE(le32(wav, 40) + 44, wav.size()) << name;
    }
    const auto cob = member("scripts\\armdemo.cob");
    ASSERT_GE(cob.size(), 44u);
    EXPECT_EQ(le32(cob, 0), 4u);
    for (std::size_t field = 6; field < 11; ++field) {
        EXPECT_LT(le32(cob, 4 * field), cob.size()) << "offset field " << field;
    }
}

} // namespace
