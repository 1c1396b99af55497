// The `pcx` tool: info's JSON and the BMP and PNG it converts to.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/sha256.hpp"
#include "pcx_image.hpp"
#include "testsupport/command_run.hpp"
#include "testsupport/pcx_writer.hpp"
#include "testsupport/testsupport.hpp"

namespace {

namespace fs = std::filesystem;

using ToolRun = testsupport::CommandRun;

ToolRun run(const std::string& arguments) {
    return testsupport::runCommand(std::string(PCX_TOOL) + " " + arguments + " 2>/dev/null");
}

std::string quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

class PcxTool : public ::testing::Test {
protected:
    void SetUp() override {
        spec_.width = 5;
        spec_.height = 3;
        spec_.planes = 3;
        for (int i = 0; i < 45; ++i) {
            spec_.pixels.push_back(std::uint8_t(i * 5));
        }
        testsupport::writeFile(dir_ / "a.pcx", testsupport::makePcx(spec_));
    }
    testsupport::TempDir dir_;
    testsupport::PcxFixture spec_;
};

TEST_F(PcxTool, InfoPrintsSizesAndTheRgbDigest) {
    const ToolRun r = run("info " + quoted(dir_ / "a.pcx"));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"width\":5,\"height\":3,\"bits\":24,\"rgb_sha256\":\"" +
                         common::sha256Hex(spec_.pixels) +
                         "\",\"complete\":true,\"rows_decoded\":3}\n");
}

TEST_F(PcxTool, ATruncatedPictureIsDescribedAndFails) {
    auto bytes = testsupport::readFile(dir_ / "a.pcx");
    // Each row is 3 planes of 6 bytes, 18 literal bytes at most: keep the
    // first row and part of the second.
    bytes.resize(128 + 30);
    testsupport::writeFile(dir_ / "cut.pcx", bytes);
    const ToolRun info = run("info " + quoted(dir_ / "cut.pcx"));
    EXPECT_EQ(info.code, 1);
    EXPECT_NE(info.out.find("\"width\":5,\"height\":3,"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"complete\":false,\"rows_decoded\":1}"), std::string::npos)
        << info.out;
    // The part decoded is still written.
    EXPECT_EQ(run("convert " + quoted(dir_ / "cut.pcx") + " " + quoted(dir_ / "cut.bmp")).code, 1);
    EXPECT_EQ(fs::file_size(dir_ / "cut.bmp"), 54u + 48u);
}

TEST_F(PcxTool, InfoOfARealPicture) {
    TOOLKIT_REQUIRE_REAL("pcx/juju.pcx", file);
    const ToolRun r = run("info " + quoted(file));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("{\"width\":96,\"height\":96,\"bits\":8,\"rgb_sha256\":\"", 0), 0u)
        << r.out;
}

TEST_F(PcxTool, ConvertWritesBmpOrPngByExtension) {
    ASSERT_EQ(run("convert " + quoted(dir_ / "a.pcx") + " " + quoted(dir_ / "a.bmp")).code, 0);
    const auto bmp = testsupport::readFile(dir_ / "a.bmp");
    // 54 bytes of headers, 3 rows of 15 bytes padded to 16.
    ASSERT_EQ(bmp.size(), 54u + 48u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[28], 24);
    // The bottom row comes first, in blue, green, red order.
    EXPECT_EQ(bmp[54], spec_.pixels[30 + 2]);
    EXPECT_EQ(bmp[56], spec_.pixels[30]);
    EXPECT_EQ(bmp[54 + 16 + 16 + 2], spec_.pixels[0]);

    ASSERT_EQ(run("convert " + quoted(dir_ / "a.pcx") + " " + quoted(dir_ / "a.PNG")).code, 0);
    const auto png = testsupport::readFile(dir_ / "a.PNG");
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
}

TEST_F(PcxTool, FailuresAndUsage) {
    EXPECT_EQ(run("info " + quoted(dir_ / "none.pcx")).code, 1);
    testsupport::writeFile(dir_ / "bad.pcx", std::string_view("not a picture at all"));
    EXPECT_EQ(run("info " + quoted(dir_ / "bad.pcx")).code, 1);
    EXPECT_EQ(run("convert " + quoted(dir_ / "a.pcx") + " " + quoted(dir_ / "no/such/x.bmp")).code,
              1);
    EXPECT_EQ(run("").code, 2);
    EXPECT_EQ(run("info").code, 2);
    EXPECT_EQ(run("frobnicate x").code, 2);
}

} // namespace
