// The `3do` tool run as a program: its JSON, its OBJ export, its messages
// and exit codes.
#include <testsupport/command_run.hpp>
#include <testsupport/tdo_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using testsupport::TempDir;

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

ToolRun run(const std::string& arguments, const TempDir& dir) {
    const std::string errFile = (dir / "stderr.txt").string();
    const std::string command = std::string(TDO_TOOL) + " " + arguments + " 2>'" + errFile + "'";
    const testsupport::CommandRun ran = testsupport::runCommand(command);
    ToolRun result{ran.code, ran.out, {}};
    const auto err = testsupport::readFile(errFile);
    result.err.assign(err.begin(), err.end());
    return result;
}

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

TEST(TdoTool, ReaderMessagesGoToStandardErrorAndCount) {
    TempDir dir;
    testsupport::TdoPieceSpec root = testsupport::tdoTriangles("base", 2);
    root.primitives[1].indexOffset = 1 << 30;
    testsupport::writeFile(dir / "bad.3do", testsupport::makeTdo(root));
    ToolRun info = run("info " + quoted(dir / "bad.3do"), dir);
    EXPECT_EQ(info.code, 0);
    EXPECT_EQ(info.out.rfind("{\"errors\":1,", 0), 0u);
    EXPECT_NE(info.err.find("there was an error."), std::string::npos) << info.err;
}

TEST(TdoTool, ObjExportWritesTheModelAndItsMaterials) {
    TempDir dir;
    testsupport::writeFile(dir / "m.3do",
                           testsupport::makeTdo(testsupport::tdoTriangles("base", 2, 1.0)));
    ToolRun exported = run("obj " + quoted(dir / "m.3do") + " " + quoted(dir / "out.obj"), dir);
    ASSERT_EQ(exported.code, 0) << exported.err;
    const auto obj = testsupport::readFile(dir / "out.obj");
    const std::string text(obj.begin(), obj.end());
    EXPECT_NE(text.find("mtllib out.mtl\ng base\nv 1 0 0\n"), std::string::npos) << text;
    const auto mtl = testsupport::readFile(dir / "out.mtl");
    // Colour 1 of the game palette, from the palette shipped beside the tool.
    EXPECT_NE(std::string(mtl.begin(), mtl.end()).find("newmtl colour_1\nKd "), std::string::npos);
}

TEST(TdoTool, MissingFilesAndUsage) {
    TempDir dir;
    ToolRun missing = run("info " + quoted(dir / "none.3do"), dir);
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("none.3do"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "none.3do"));
    EXPECT_EQ(run("", dir).code, 2);
    EXPECT_EQ(run("frobnicate x", dir).code, 2);
    EXPECT_EQ(run("obj " + quoted(dir / "none.3do"), dir).code, 2);
}

} // namespace
