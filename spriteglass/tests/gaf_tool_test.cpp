#include "common/sha256.hpp"
#include "spriteglass/gaf_file.hpp"

#include <testsupport/command_run.hpp>
#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sys/wait.h>

using testsupport::makeGaf;
using testsupport::rawFrame;
namespace fs = std::filesystem;

namespace {

using ToolRun = testsupport::CommandRun;

ToolRun runTool(const std::string& arguments) {
    return testsupport::runCommand(std::string("'") + GAF_TOOL + "' " + arguments + " 2>/dev/null");
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

} // namespace

TEST(GafTool, InfoPrintsEveryEntryFrameAndSubframeAsJson) {
    testsupport::TempDir dir;
    testsupport::GafFrameSpec parent = rawFrame(2, 1);
    parent.subframes = {rawFrame(1, 1, {7}, 3, -2)};
    parent.compression = 1;
    parent.fps = 4;
    testsupport::GafFrameSpec first = rawFrame(2, 1, {1, 2});
    first.tag = 2;
    testsupport::writeFile(dir / "a b.gaf", makeGaf({{"Fire\"\xE9", {first, parent}}}));
    const ToolRun run = runTool("info " + quoted(dir / "a b.gaf"));
    ASSERT_EQ(run.code, 0);
    const std::string sha12 = common::sha256Hex(std::vector<std::uint8_t>{1, 2});
    const std::string sha99 = common::sha256Hex(std::vector<std::uint8_t>{9, 9});
    const std::string sha7 = common::sha256Hex(std::vector<std::uint8_t>{7});
    const std::string expected =
        "{\"entries\":[{\"name\":\"Fire\\\"\xC3\xA9\",\"animated\":true,\"frames\":["
        "{\"width\":2,\"height\":1,\"x\":0,\"y\":0,\"compressed\":false,\"fps\":0,"
        "\"pixels_sha256\":\"" +
        sha12 +
        "\",\"subframes\":[]},"
        "{\"width\":2,\"height\":1,\"x\":0,\"y\":0,\"compressed\":true,\"fps\":4,"
        "\"pixels_sha256\":\"" +
        sha99 +
        "\",\"subframes\":["
        "{\"width\":1,\"height\":1,\"x\":3,\"y\":-2,\"compressed\":false,\"fps\":0,"
        "\"pixels_sha256\":\"" +
        sha7 + "\",\"subframes\":[]}]}]}]}\n";
    EXPECT_EQ(run.out, expected);
}

TEST(GafTool, ExportWritesTheViewersNamesAsBmpOrPng) {
    testsupport::TempDir dir;
    testsupport::GafFrameSpec parent = rawFrame(2, 2);
    parent.subframes = {rawFrame(1, 1), rawFrame(3, 1)};
    testsupport::writeFile(dir / "x.gaf", makeGaf({{"Walk", {rawFrame(5, 2), parent}}}));
    ASSERT_EQ(runTool("export " + quoted(dir / "x.gaf") + " " + quoted(dir / "bmp")).code, 0);
    EXPECT_EQ(fs::file_size(dir / "bmp" / "Walk_01.bmp"), 1094u);
    EXPECT_TRUE(fs::exists(dir / "bmp" / "Walk_02_01.bmp"));
    EXPECT_TRUE(fs::exists(dir / "bmp" / "Walk_02_02.bmp"));
    EXPECT_FALSE(fs::exists(dir / "bmp" / "Walk_02.bmp"));

    ASSERT_EQ(runTool("export --png " + quoted(dir / "x.gaf") + " " + quoted(dir / "png")).code, 0);
    const auto png = testsupport::readFile(dir / "png" / "Walk_02_02.png");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(png[1], 'P');
}

TEST(GafTool, FailuresAndUsageErrorsHaveTheirExitCodes) {
    testsupport::TempDir dir;
    EXPECT_EQ(runTool("info " + quoted(dir / "missing.gaf")).code, 1);
    EXPECT_EQ(runTool("export " + quoted(dir / "missing.gaf") + " " + quoted(dir / "o")).code, 1);
    EXPECT_EQ(runTool("").code, 2);
    EXPECT_EQ(runTool("info").code, 2);
    EXPECT_EQ(runTool("frobnicate x").code, 2);
}

// Every real GAF exported and built back gives the same `gaf info`; the
// files whose rows are what the encoder writes (the raw textures) come back
// byte for byte.
TEST(GafTool, EveryRealGafRoundTripsThroughExportAndBuild) {
    const auto real = testsupport::realFile("gaf");
    if (!real) {
        GTEST_SKIP() << "real test data not found: gaf";
    }
    testsupport::TempDir dir;
    std::vector<std::string> identical;
    int files = 0;
    for (const auto& item : fs::directory_iterator(*real)) {
        const std::string name = item.path().filename().string();
        for (const char* format : {"", "--png "}) {
            const fs::path folder = dir / (name + format + ".d");
            const fs::path built = dir / (name + format + ".gaf");
            ASSERT_EQ(runTool(std::string("export ") + format + quoted(item.path()) + " " +
                              quoted(folder))
                          .code,
                      0)
                << name;
            ASSERT_TRUE(fs::exists(folder / "gaf.json")) << name;
            ASSERT_EQ(runTool("build " + quoted(folder) + " " + quoted(built)).code, 0) << name;
            EXPECT_EQ(runTool("info " + quoted(built)).out,
                      runTool("info " + quoted(item.path())).out)
                << name << " " << format;
            if (*format == '\0' &&
                testsupport::readFile(built) == testsupport::readFile(item.path())) {
                identical.push_back(name);
            }
        }
        ++files;
    }
    EXPECT_EQ(files, 7);
    std::sort(identical.begin(), identical.end());
    EXPECT_EQ(identical, (std::vector<std::string>{"ArmImp.gaf", "YellowVent.gaf"}));
}

TEST(GafTool, BuildMakesAFileFromAHandWrittenManifestAndWritesNothingOnAnError) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "x.gaf", makeGaf({{"Walk", {rawFrame(5, 2)}}}));
    ASSERT_EQ(runTool("export " + quoted(dir / "x.gaf") + " " + quoted(dir / "in")).code, 0);
    testsupport::writeFile(dir / "in" / "gaf.json",
                           std::string(R"({"entries": [{"name": "Run", "frames": [)"
                                       R"({"picture": "Walk_01.bmp", "x": 2}]}]})"));
    ASSERT_EQ(runTool("build " + quoted(dir / "in") + " " + quoted(dir / "out.gaf")).code, 0);
    spriteglass::classGAF gaf;
    gaf.Load(dir / "out.gaf");
    ASSERT_EQ(gaf.Animations().size(), 1u);
    EXPECT_EQ(gaf.Animations()[0].Name(), "Run");
    EXPECT_EQ(gaf.Animations()[0].Frames().at(0).PositionX(), 2);

    testsupport::writeFile(dir / "in" / "gaf.json",
                           std::string(R"({"entries": [{"name": "Run", "frames": [)"
                                       R"({"picture": "Walk_01.bmp", "height": 3}]}]})"));
    EXPECT_EQ(runTool("build " + quoted(dir / "in") + " " + quoted(dir / "bad.gaf")).code, 1);
    EXPECT_FALSE(fs::exists(dir / "bad.gaf"));
    EXPECT_EQ(runTool("build " + quoted(dir / "in")).code, 2);
}
