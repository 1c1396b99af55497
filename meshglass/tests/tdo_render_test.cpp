// `3do render` and `3do textures` run as programs on fixture models: the
// textured quads show their textures the right way round, missing textures
// and textured triangles draw flat, lit faces facing different ways differ,
// the zoom changes the model's size, and pictures of a real model in each
// mode match their golden pictures.
#include "png_read.hpp"
#include "texture_fixture.hpp"

#include <testsupport/command_run.hpp>
#include <testsupport/tdo_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

using namespace meshglass_test;
using testsupport::TempDir;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

ToolRun run(const std::string& arguments, const TempDir& dir) {
    const std::string errFile = (dir / "stderr.txt").string();
    // No game folder of the machine's own may join the lookup.
    const std::string command = "TA_DIR='" + (dir / "no-game").string() + "' WINEPREFIX='" +
                                (dir / "no-wine").string() + "' " + TDO_TOOL + " " + arguments +
                                " 2>'" + errFile + "'";
    const testsupport::CommandRun ran = testsupport::runCommand(command);
    ToolRun result{ran.code, ran.out, {}};
    const auto err = testsupport::readFile(errFile);
    result.err.assign(err.begin(), err.end());
    return result;
}

std::string quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

using Colour = std::array<std::uint8_t, 3>;

// The palette shipped beside the tool, as the tool reads it.
Colour paletteColour(int index) {
    const auto bytes = testsupport::readFile(fs::path(TDO_TOOL).parent_path() / "palette.dat");
    return {bytes[std::size_t(index) * 3], bytes[std::size_t(index) * 3 + 1],
            bytes[std::size_t(index) * 3 + 2]};
}

struct Spread {
    int count = 0;
    double meanX = 0;
    double meanY = 0;
};

Spread spreadOf(const RgbImage& image, const Colour& colour) {
    Spread spread;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            if (image.at(x, y) == colour) {
                ++spread.count;
                spread.meanX += x;
                spread.meanY += y;
            }
        }
    }
    if (spread.count > 0) {
        spread.meanX /= spread.count;
        spread.meanY /= spread.count;
    }
    return spread;
}

class TdoRender : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef TDO_SKIP_DRAWING_TESTS
        GTEST_SKIP() << "drawing tests do not run in the sanitizer build";
#endif
    }
    // Renders and reads back; skips the test when there is no offscreen surface.
    std::optional<RgbImage> render(const fs::path& model, const std::string& options) {
        const fs::path out = dir_ / "out.png";
        fs::remove(out);
        const ToolRun result =
            run("render " + quoted(model) + " " + quoted(out) + " " + options, dir_);
        if (result.code == 1 && result.err.find("offscreen") != std::string::npos) {
            skipped_ = true;
            return std::nullopt;
        }
        EXPECT_EQ(result.code, 0) << result.err;
        return readRgbPng(testsupport::readFile(out));
    }
    fs::path texturedModel() {
        fs::create_directories(dir_ / "mod" / "objects3d");
        fs::create_directories(dir_ / "mod" / "Textures");
        writeFile(dir_ / "mod" / "Textures" / "plates.GAF", fixtureTextureGaf());
        const fs::path model = dir_ / "mod" / "objects3d" / "plates.3do";
        writeFile(model, testsupport::makeTdo(texturedPiece()));
        return model;
    }

    TempDir dir_;
    bool skipped_ = false;
};

#define RENDER_OR_SKIP(var, model, options)                                                        \
    auto var = render(model, options);                                                             \
    if (skipped_) {                                                                                \
        GTEST_SKIP() << "no offscreen drawing surface here";                                       \
    }                                                                                              \
    ASSERT_TRUE(var.has_value())

TEST_F(TdoRender, TexturedQuadsShowTheirTexelsTheRightWayRound) {
    RENDER_OR_SKIP(picture, texturedModel(), "--size 300x300 --turn 0,0");
    for (int k = 0; k < 3; ++k) {
        const std::vector<std::uint8_t> texels = fixtureTexels(k);
        // Texel (c, r) is texels[2r + c]: c runs along the quad's x from its
        // first corner, r along y. From the start camera model +x is on the
        // picture's left and model +y up.
        const Spread t00 = spreadOf(*picture, paletteColour(texels[0]));
        const Spread t10 = spreadOf(*picture, paletteColour(texels[1]));
        const Spread t01 = spreadOf(*picture, paletteColour(texels[2]));
        const Spread t11 = spreadOf(*picture, paletteColour(texels[3]));
        ASSERT_GT(t00.count, 100) << k;
        ASSERT_GT(t11.count, 100) << k;
        EXPECT_GT(t00.meanX, t10.meanX + 10) << k;
        EXPECT_GT(t01.meanX, t11.meanX + 10) << k;
        EXPECT_GT(t00.meanY, t01.meanY + 10) << k;
        EXPECT_GT(t10.meanY, t11.meanY + 10) << k;
    }
    // Quad 0 (x -30..-12) is on the right of quad 2 (x 10..28).
    EXPECT_GT(spreadOf(*picture, paletteColour(fixtureTexels(0)[0])).meanX,
              spreadOf(*picture, paletteColour(fixtureTexels(2)[0])).meanX + 50);
}

TEST_F(TdoRender, MissingTexturesDrawInTheFaceColourAndTexturedTrianglesInTheTextureColour) {
    fs::create_directories(dir_ / "m");
    testsupport::TdoPieceSpec piece = texturedPiece();
    piece.primitives[0].texture = "NoSuchTexture";
    piece.primitives[0].color = 100;
    writeFile(dir_ / "m" / "m.3do", testsupport::makeTdo(piece));
    writeFile(dir_ / "extra.gaf", fixtureTextureGaf());
    RENDER_OR_SKIP(picture, dir_ / "m" / "m.3do",
                   "--size 300x300 --turn 0,0 --textures " + quoted(dir_.path()));
    EXPECT_GT(spreadOf(*picture, paletteColour(100)).count, 500);
    EXPECT_EQ(spreadOf(*picture, paletteColour(fixtureTexels(0)[0])).count, 0);
    EXPECT_GT(spreadOf(*picture, paletteColour(fixtureTexels(1)[0])).count, 100);
    // The triangle names texture 0, found: no texels of it, but not its own colour 4.
    EXPECT_EQ(spreadOf(*picture, paletteColour(4)).count, 0);
}

TEST_F(TdoRender, LitFacesFacingDifferentWaysDifferInBrightness) {
    using testsupport::fixed16;
    // Half a box: a top face and a front face towards +z, the lit side.
    testsupport::TdoPieceSpec piece;
    piece.name = "box";
    piece.vertices = {{fixed16(-20), fixed16(40), fixed16(-20)},
                      {fixed16(20), fixed16(40), fixed16(-20)},
                      {fixed16(20), fixed16(40), fixed16(20)},
                      {fixed16(-20), fixed16(40), fixed16(20)},
                      {fixed16(-20), 0, fixed16(20)},
                      {fixed16(20), 0, fixed16(20)}};
    piece.primitives.resize(2);
    piece.primitives[0].indices = {0, 1, 2, 3};
    piece.primitives[1].indices = {3, 2, 5, 4};
    writeFile(dir_ / "box.3do", testsupport::makeTdo(piece));
    RENDER_OR_SKIP(picture, dir_ / "box.3do", "--mode lit --size 200x200");
    std::map<int, int> greys; // grey level -> pixels, down the middle column
    for (int y = 0; y < picture->height; ++y) {
        const Colour c = picture->at(100, y);
        if (c != Colour{255, 255, 255}) {
            ++greys[c[0]];
        }
    }
    ASSERT_GE(greys.size(), 2u);
    EXPECT_GT(greys.rbegin()->first - greys.begin()->first, 20);
}

TEST_F(TdoRender, ZoomAndSizeChangeThePicture) {
    const fs::path model = texturedModel();
    auto covered = [](const RgbImage& image) {
        int n = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                n += image.at(x, y) != Colour{255, 255, 255} ? 1 : 0;
            }
        }
        return n;
    };
    RENDER_OR_SKIP(fitted, model, "--size 200x100");
    EXPECT_EQ(fitted->width, 200);
    EXPECT_EQ(fitted->height, 100);
    RENDER_OR_SKIP(closer, model, "--size 200x100 --zoom 1");
    EXPECT_NEAR(double(covered(*closer)) / covered(*fitted), 1.21, 0.08);
    // Fitted: nothing touches the picture's edges.
    for (int x = 0; x < 200; ++x) {
        EXPECT_EQ(fitted->at(x, 0), (Colour{255, 255, 255}));
        EXPECT_EQ(fitted->at(x, 99), (Colour{255, 255, 255}));
    }
    EXPECT_EQ(run("render " + quoted(model) + " x.png --size 0x5", dir_).code, 2);
    EXPECT_EQ(run("render " + quoted(model) + " x.png --mode shiny", dir_).code, 2);
    EXPECT_EQ(run("render " + quoted(model) + " x.png --turn 1", dir_).code, 2);
    EXPECT_EQ(run("render " + quoted(dir_ / "none.3do") + " " + quoted(dir_ / "x.png"), dir_).code,
              1);
    EXPECT_FALSE(fs::exists(dir_ / "x.png"));
}

TEST(TdoTextures, ListsNamesFacesAndWhereEachWasFound) {
    TempDir dir;
    fs::create_directories(dir / "mod" / "objects3d");
    fs::create_directories(dir / "mod" / "textures");
    writeFile(dir / "mod" / "textures" / "plates.gaf", fixtureTextureGaf());
    testsupport::TdoPieceSpec piece = texturedPiece();
    piece.primitives[2].texture = "Missing1";
    writeFile(dir / "mod" / "objects3d" / "m.3do", testsupport::makeTdo(piece));
    const ToolRun result = run("textures " + quoted(dir / "mod" / "objects3d" / "m.3do"), dir);
    EXPECT_EQ(result.code, 1);
    const std::string gaf = (dir / "mod" / "textures" / "plates.gaf").string();
    EXPECT_NE(result.out.find("{\"name\": \"PlateA\", \"faces\": 2, \"found\": true, \"file\": \"" +
                              gaf + "\", \"entry\": \"platea\", \"width\": 2, \"height\": 2}"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("{\"name\": \"Missing1\", \"faces\": 1, \"found\": false}"),
              std::string::npos);
    EXPECT_NE(result.out.find("\"missing\": 1"), std::string::npos);

    fs::remove(dir / "mod" / "objects3d" / "m.3do");
    writeFile(dir / "mod" / "objects3d" / "m.3do", testsupport::makeTdo(texturedPiece()));
    const ToolRun all = run("textures " + quoted(dir / "mod" / "objects3d" / "m.3do"), dir);
    EXPECT_EQ(all.code, 0) << all.out;
    EXPECT_NE(all.out.find("\"missing\": 0"), std::string::npos);
}

TEST(TdoObj, TexturedQuadsGetTheirPicturesAndTextureCoordinates) {
    TempDir dir;
    fs::create_directories(dir / "mod" / "objects3d");
    writeFile(dir / "tex" / "plates.gaf", fixtureTextureGaf());
    writeFile(dir / "mod" / "objects3d" / "m.3do", testsupport::makeTdo(texturedPiece()));
    fs::create_directories(dir / "out");
    const ToolRun result =
        run("obj " + quoted(dir / "mod" / "objects3d" / "m.3do") + " " +
                quoted(dir / "out" / "m.obj") + " --textures " + quoted(dir / "tex"),
            dir);
    ASSERT_EQ(result.code, 0) << result.err;
    const auto mtl = testsupport::readFile(dir / "out" / "m.mtl");
    const std::string mtlText(mtl.begin(), mtl.end());
    EXPECT_NE(mtlText.find("newmtl texture_m_platea\nKd 1 1 1\nmap_Kd m_platea.png\n"),
              std::string::npos)
        << mtlText;
    // The picture holds the texels in the palette's colours, row 0 on top.
    const auto png = readRgbPng(testsupport::readFile(dir / "out" / "m_PlateB.png"));
    ASSERT_TRUE(png.has_value());
    ASSERT_EQ(png->width, 2);
    EXPECT_EQ(png->at(0, 0), paletteColour(fixtureTexels(1)[0]));
    EXPECT_EQ(png->at(1, 1), paletteColour(fixtureTexels(1)[3]));
    const auto obj = testsupport::readFile(dir / "out" / "m.obj");
    const std::string objText(obj.begin(), obj.end());
    EXPECT_NE(objText.find("usemtl texture_m_platea\nvt 0 1\nvt 1 1\nvt 1 0\nvt 0 0\n"
                           "f 1/1 2/2 3/3 4/4\n"),
              std::string::npos)
        << objText;
    // The triangle keeps a colour material.
    EXPECT_NE(objText.find("usemtl colour_"), std::string::npos);
}

// Golden pictures of a real model, one per mode. A picture differing from
// its golden one (or a golden one missing) is left, with the golden one,
// where a person can look at it: $TOOLKIT_GOLDEN_OUT, else a kept folder
// under the system's temporary folder.
class TdoGolden : public TdoRender, public ::testing::WithParamInterface<const char*> {};

TEST_P(TdoGolden, RealModelMatchesItsGoldenPicture) {
    TOOLKIT_REQUIRE_REAL("3do/armcom.3do", model);
    const std::string mode = GetParam();
    RENDER_OR_SKIP(picture, model, "--size 160x160 --mode " + mode);
    const fs::path golden = fs::path(GOLDEN_DIR) / ("armcom_" + mode + ".png");
    const auto expected =
        fs::exists(golden) ? readRgbPng(testsupport::readFile(golden)) : std::nullopt;
    int differing = 0;
    if (expected && expected->width == picture->width && expected->height == picture->height) {
        for (std::size_t k = 0; k < picture->rgb.size(); k += 3) {
            int most = 0;
            for (int c = 0; c < 3; ++c) {
                most =
                    std::max(most, std::abs(int(picture->rgb[k + c]) - int(expected->rgb[k + c])));
            }
            differing += most > 24 ? 1 : 0;
        }
    }
    const int allowed = picture->width * picture->height / 100;
    if (!expected || differing > allowed) {
        const char* named = std::getenv("TOOLKIT_GOLDEN_OUT");
        const fs::path keep =
            named && *named ? fs::path(named) : fs::temp_directory_path() / "meshglass-golden";
        fs::create_directories(keep);
        fs::copy_file(dir_ / "out.png", keep / ("armcom_" + mode + ".actual.png"),
                      fs::copy_options::overwrite_existing);
        ADD_FAILURE() << (expected ? std::to_string(differing) + " pixels differ from "
                                   : std::string("no golden picture ")) +
                             golden.string() + "; the picture drawn is in " + keep.string();
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, TdoGolden, ::testing::Values("filled", "lit", "wireframe"));

} // namespace
