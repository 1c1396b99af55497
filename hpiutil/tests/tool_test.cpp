// The hpi tool end to end: its commands, messages and exit codes.
#include "hpiutil/writer.hpp"
#include "testsupport/command_run.hpp"
#include "testsupport/testsupport.hpp"

#include <filesystem>
#include <gtest/gtest.h>

using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

using Run = testsupport::CommandRun;
using testsupport::shellQuote;

// Runs the tool with `args` (already quoted); standard error joins the output.
Run hpi(const std::string& args) {
    const std::string cmd = shellQuote(HPI_TOOL) + " " + args + " 2>&1";
    return testsupport::runCommand(cmd);
}

} // namespace

TEST(HpiTool, PackListExtractCatVerifyInfo) {
    TempDir dir;
    testsupport::writeFile(dir / "src" / "units" / "ARMCOM.FBI", std::string_view("[UNITINFO]"));
    testsupport::writeFile(dir / "src" / "readme.txt", std::string_view("hello"));
    testsupport::writeFile(dir / "src" / ".hidden", std::string_view("no"));
    fs::create_directories(dir / "src" / "empty");
    const std::string archive = (dir / "out.ufo").string();

    auto packed =
        hpi("pack -m lz77 " + shellQuote((dir / "src").string()) + " " + shellQuote(archive));
    ASSERT_EQ(packed.code, 0) << packed.out;
    EXPECT_EQ(packed.out, ""); // no progress when standard error is not a terminal

    auto listed = hpi("list " + shellQuote(archive));
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out, "empty\\\nreadme.txt\nunits\\\nunits\\ARMCOM.FBI\n");
    auto longList = hpi("list -l " + shellQuote(archive));
    EXPECT_NE(longList.out.find("lz77"), std::string::npos);

    auto cat = hpi("cat " + shellQuote(archive) + " 'UNITS\\armcom.fbi'");
    EXPECT_EQ(cat.code, 0);
    EXPECT_EQ(cat.out, "[UNITINFO]");

    auto extracted = hpi("extract " + shellQuote(archive) + " -C " +
                         shellQuote((dir / "x").string()) + " units");
    EXPECT_EQ(extracted.code, 0) << extracted.out;
    EXPECT_TRUE(fs::exists(dir / "x" / "units" / "ARMCOM.FBI"));
    EXPECT_FALSE(fs::exists(dir / "x" / "readme.txt"));

    auto verified = hpi("verify " + shellQuote(archive));
    EXPECT_EQ(verified.code, 0);
    EXPECT_NE(verified.out.find("2 files, 2 chunks, 15 bytes checked; 0 errors"), std::string::npos)
        << verified.out;

    auto info = hpi("info " + shellQuote(archive));
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("\"files\":2,\"directories\":2"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"lz77\":2"), std::string::npos);
}

TEST(HpiTool, FailuresNameTheFileAndReason) {
    TempDir dir;
    testsupport::writeFile(dir / "junk.hpi", std::string_view("HAPI garbage that is short"));
    auto bad = hpi("list " + shellQuote((dir / "junk.hpi").string()));
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.out.find("junk.hpi"), std::string::npos) << bad.out;

    auto missing = hpi("info " + shellQuote((dir / "none.hpi").string()));
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.out.find("none.hpi: cannot open"), std::string::npos) << missing.out;

    hpiutil::ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("a.txt", {'a'}));
    ASSERT_TRUE(w.write(dir / "a.hpi", hpiutil::Method::Zlib));
    auto noMember = hpi("cat " + shellQuote((dir / "a.hpi").string()) + " b.txt");
    EXPECT_EQ(noMember.code, 1);
    EXPECT_NE(noMember.out.find("b.txt"), std::string::npos);

    auto damaged = testsupport::readFile(dir / "a.hpi");
    damaged[damaged.size() - 40] ^= 0x55;
    testsupport::writeFile(dir / "d.hpi", damaged);
    auto verify = hpi("verify " + shellQuote((dir / "d.hpi").string()));
    EXPECT_EQ(verify.code, 1);
    EXPECT_NE(verify.out.find("error: "), std::string::npos) << verify.out;
    EXPECT_NE(verify.out.find("a.txt"), std::string::npos) << verify.out;
}

TEST(HpiTool, UsageErrorsExitTwo) {
    EXPECT_EQ(hpi("").code, 2);
    EXPECT_EQ(hpi("frobnicate x").code, 2);
    EXPECT_EQ(hpi("list").code, 2);
    EXPECT_EQ(hpi("pack -m bzip2 a b").code, 2);
    EXPECT_EQ(hpi("cat only-one").code, 2);
    auto help = hpi("--help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("hpi extract ARCHIVE [-C DIR] [MEMBER...]"), std::string::npos);
}
