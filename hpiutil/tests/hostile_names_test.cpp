// Names the format never stores (empty, ".", "..", holding '\') and names of
// any length: no member takes another's path, lookups never pass through
// such a folder, extraction refuses exactly the members a disk cannot hold,
// and the directory's name and path bytes stay bounded.
#include "hpiutil/archive.hpp"
#include "hpiutil/format.hpp"
#include "testsupport/hpi_raw_writer.hpp"
#include "testsupport/testsupport.hpp"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

using namespace hpiutil;
using testsupport::rawDir;
using testsupport::rawFile;
namespace fs = std::filesystem;

namespace {

std::string text(const Archive& a, std::string_view path) {
    auto found = a.find(path);
    if (!found || *found < 0) {
        return "<not found>";
    }
    auto bytes = a.readAll(a.entries()[std::size_t(*found)]);
    return bytes ? std::string(bytes->begin(), bytes->end()) : "<unreadable>";
}

bool failedFor(const ExtractSummary& s, std::string_view what) {
    return std::any_of(s.failures.begin(), s.failures.end(),
                       [&](const Error& e) { return e.message().find(what) != std::string::npos; });
}

} // namespace

TEST(HostileNames, FoldersNamedEmptyDotOrDotDotAliasNothing) {
    // Every hostile copy comes after the real member, so writing it would
    // replace the real file.
    const auto bytes = testsupport::makeRawHpi({
        rawDir("units", {rawFile("armx.fbi", "good"), rawDir("", {rawFile("armx.fbi", "n")})}),
        rawDir("", {rawDir("units", {rawFile("armx.fbi", "empty")})}),
        rawDir(".", {rawDir("units", {rawFile("armx.fbi", "dot")})}),
        rawDir("..", {rawFile("escape.txt", "up")}),
        rawFile("units\\armx.fbi", "backslash"),
    });
    auto a = Archive::fromMemory(bytes);
    ASSERT_TRUE(a.ok()) << a.error().message();

    std::set<std::string> paths;
    for (const auto& e : a->entries()) {
        EXPECT_TRUE(paths.insert(e.path).second || e.path == "units\\armx.fbi")
            << "two entries share the path " << e.path;
    }
    EXPECT_EQ(text(*a, "units\\armx.fbi"), "good");
    EXPECT_EQ(text(*a, "UNITS\\ARMX.FBI"), "good");
    for (const char* through : {"units\\\\armx.fbi", ".\\units\\armx.fbi", "..\\escape.txt"}) {
        EXPECT_FALSE(a->find(through).has_value()) << through;
    }

    testsupport::TempDir dir;
    const auto s = a->extractTree(dir / "out");
    EXPECT_EQ(testsupport::readFile(dir / "out" / "units" / "armx.fbi"),
              std::vector<std::uint8_t>({'g', 'o', 'o', 'd'}));
    EXPECT_EQ(s.filesWritten, 1u);
    EXPECT_FALSE(fs::exists(dir / "escape.txt"));
    EXPECT_TRUE(failedFor(s, "unsafe name"));
    EXPECT_TRUE(failedFor(s, "a component is empty"));
    EXPECT_TRUE(failedFor(s, "holds '\\'"));

    // Each hostile name is an error of its own: five of them.
    const auto report = a->verify();
    EXPECT_EQ(report.errorCount(), 5u);
}

TEST(HostileNames, LongNamesAreReadAndOnlyTheirMembersRefused) {
    const std::string longName(2000, 'n');
    const std::string longFolder(300, 'f');
    const auto bytes = testsupport::makeRawHpi({
        rawFile(longName + ".txt", "long"),
        rawDir(longFolder, {rawFile("inside.txt", "deep")}),
        rawFile(std::string(255, 'm'), "longest a disk holds"),
        rawFile("fine.txt", "fine"),
    });
    auto a = Archive::fromMemory(bytes);
    ASSERT_TRUE(a.ok()) << a.error().message();
    EXPECT_EQ(a->entries().size(), 5u);
    EXPECT_EQ(text(*a, longName + ".txt"), "long");
    EXPECT_EQ(text(*a, longFolder + "\\inside.txt"), "deep");

    testsupport::TempDir dir;
    const auto s = a->extractTree(dir / "out");
    EXPECT_EQ(s.filesWritten, 2u);
    EXPECT_TRUE(fs::exists(dir / "out" / "fine.txt"));
    EXPECT_TRUE(fs::exists(dir / "out" / std::string(255, 'm')));
    EXPECT_TRUE(failedFor(s, "2004 bytes long"));
    EXPECT_TRUE(failedFor(s, "it lies in the folder"));
    // Refused only on this disk: warnings, not errors.
    EXPECT_EQ(a->verify().errorCount(), 0u);
}

TEST(HostileNames, SharedLongNamesCannotOutgrowTheBlock) {
    // 2,000 entries all pointing at one 4,000-byte name: 8 MB of names from
    // a block of about 60 KB.
    std::vector<testsupport::RawHpiNode> files;
    files.push_back(rawFile(std::string(4000, 'x'), ""));
    for (int i = 0; i < 2000; ++i) {
        files.push_back(rawFile("f", ""));
    }
    auto bytes = testsupport::makeRawHpi(files);
    const std::uint32_t array = loadU32(bytes.data() + 0x18);
    const std::uint32_t shared = loadU32(bytes.data() + array);
    for (std::uint32_t i = 1; i < 2001; ++i) {
        storeU32(bytes.data() + array + 9 * i, shared);
    }
    auto a = Archive::fromMemory(bytes);
    ASSERT_FALSE(a.ok());
    EXPECT_NE(a.error().what.find("names of the entries add up"), std::string::npos)
        << a.error().message();

    // One 200,000-byte folder name repeated in the paths of 200 members.
    std::vector<testsupport::RawHpiNode> members;
    for (int i = 0; i < 200; ++i) {
        members.push_back(rawFile("m" + std::to_string(i), ""));
    }
    auto wide = Archive::fromMemory(
        testsupport::makeRawHpi({rawDir(std::string(200000, 'd'), std::move(members))}));
    ASSERT_FALSE(wide.ok());
    EXPECT_NE(wide.error().what.find("paths of the entries add up"), std::string::npos)
        << wide.error().message();
}
