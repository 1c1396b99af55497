// The hpi tool end to end: its commands, messages and exit codes.
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <array>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

struct Run {
    int code;
    std::string out;
};

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

// Runs the tool with `args` (already quoted); standard error joins the output.
Run hpi(const std::string& args) {
    const std::string cmd = quote(HPI_TOOL) + " " + args + " 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
        out.append(buf.data(), n);
    }
    const int status = ::pclose(p);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

} // namespace

TEST(HpiTool, PackListExtractCatVerifyInfo) {
    TempDir dir;
    testsupport::writeFile(dir / "src" / "units" / "ARMCOM.FBI", std::string_view("[UNITINFO]"));
    testsupport::writeFile(dir / "src" / "readme.txt", std::string_view("hello"));
    testsupport::writeFile(dir / "src" / ".hidden", std::string_view("no"));
    fs::create_directories(dir / "src" / "empty");
    const std::string archive = (dir / "out.ufo").string();

    auto packed = hpi("pack -m lz77 " + quote((dir / "src").string()) + " " + quote(archive));
    ASSERT_EQ(packed.code, 0) << packed.out;
    EXPECT_EQ(packed.out, ""); // no progress when standard error is not a terminal

    auto listed = hpi("list " + quote(archive));
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out, "empty\\\nreadme.txt\nunits\\\nunits\\ARMCOM.FBI\n");
    auto longList = hpi("list -l " + quote(archive));
    EXPECT_NE(longList.out.find("lz77"), std::string::npos);

    auto cat = hpi("cat " + quote(archive) + " 'UNITS\\armcom.fbi'");
    EXPECT_EQ(cat.code, 0);
    EXPECT_EQ(cat.out, "[UNITINFO]");

    auto extracted =
        hpi("extract " + quote(archive) + " -C " + quote((dir / "x").string()) + " units");
    EXPECT_EQ(extracted.code, 0) << extracted.out;
    EXPECT_TRUE(fs::exists(dir / "x" / "units" / "ARMCOM.FBI"));
    EXPECT_FALSE(fs::exists(dir / "x" / "readme.txt"));

    auto verified = hpi("verify " + quote(archive));
    EXPECT_EQ(verified.code, 0);
    EXPECT_NE(verified.out.find("2 files, 2 chunks, 15 bytes checked; 0 errors"), std::string::npos)
        << verified.out;

    auto info = hpi("info " + quote(archive));
    EXPECT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("\"files\":2,\"directories\":2"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"lz77\":2"), std::string::npos);
}

TEST(HpiTool, FailuresNameTheFileAndReason) {
    TempDir dir;
    testsupport::writeFile(dir / "junk.hpi", std::string_view("HAPI garbage that is short"));
    auto bad = hpi("list " + quote((dir / "junk.hpi").string()));
    EXPECT_EQ(bad.code, 1);
    EXPECT_NE(bad.out.find("junk.hpi"), std::string::npos) << bad.out;

    auto missing = hpi("info " + quote((dir / "none.hpi").string()));
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.out.find("none.hpi: cannot open"), std::string::npos) << missing.out;

    hpiutil::ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("a.txt", {'a'}));
    ASSERT_TRUE(w.write(dir / "a.hpi", hpiutil::Method::Zlib));
    auto noMember = hpi("cat " + quote((dir / "a.hpi").string()) + " b.txt");
    EXPECT_EQ(noMember.code, 1);
    EXPECT_NE(noMember.out.find("b.txt"), std::string::npos);

    auto damaged = testsupport::readFile(dir / "a.hpi");
    damaged[damaged.size() - 40] ^= 0x55;
    testsupport::writeFile(dir / "d.hpi", damaged);
    auto verify = hpi("verify " + quote((dir / "d.hpi").string()));
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
