// Extraction: whole trees and chosen members land where they belong, and a
// member whose name would leave the destination is never written.
#include "hpiutil/archive.hpp"
#include "hpiutil/paths.hpp"
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace hpiutil;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

// Writes an archive, then renames members by patching their names in place
// (same length), which our writer would refuse to store.
std::vector<std::uint8_t>
archiveWithNames(const TempDir& dir,
                 const std::vector<std::pair<std::string, std::string>>& renames) {
    ArchiveWriter w;
    for (const auto& [from, to] : renames) {
        EXPECT_TRUE(w.addBuffer("sub\\" + from, {'x'})) << from;
    }
    EXPECT_TRUE(w.addBuffer("fine.txt", {'o', 'k'}));
    EXPECT_TRUE(w.write(dir / "n.hpi", Method::Zlib));
    auto bytes = testsupport::readFile(dir / "n.hpi");
    for (const auto& [from, to] : renames) {
        EXPECT_EQ(from.size(), to.size());
        auto it = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
        EXPECT_NE(it, bytes.end());
        std::copy(to.begin(), to.end(), it);
    }
    return bytes;
}

} // namespace

TEST(SafePath, RefusesNamesThatLeaveTheDestination) {
    for (const char* bad : {"", "\\abs", "/abs", "C:\\x", "c:x", "a\\..\\..\\x", "..", ".",
                            "a\\.\\b", "a\\\\b", "a/../b", "tab\tname", "del\x7F", "a\\"}) {
        EXPECT_FALSE(safeRelativePath(bad).ok()) << bad;
    }
    auto good = safeRelativePath("units\\ARMCOM.FBI");
    ASSERT_TRUE(good.ok());
    EXPECT_EQ(good->string(), "units/ARMCOM.FBI");
    EXPECT_TRUE(safeRelativePath("..dots are fine..").ok());
    EXPECT_TRUE(safeRelativePath("caf\xC3\xA9").ok());
}

TEST(ExtractTree, WritesEveryMemberAndEmptyFolders) {
    TempDir dir;
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("units\\a.fbi", {'a'}));
    ASSERT_TRUE(w.addBuffer("units\\deep\\b.fbi", testsupport::randomBytes(100000, 1)));
    ASSERT_TRUE(w.addBuffer("top.txt", {}));
    ASSERT_TRUE(w.addDirectory("nothing"));
    ASSERT_TRUE(w.write(dir / "t.hpi", Method::Lz77));
    auto a = Archive::open(dir / "t.hpi");
    ASSERT_TRUE(a.ok());
    std::vector<std::uint32_t> progress;
    auto s = a->extractTree(dir / "out", {},
                            [&](std::uint32_t done, std::uint32_t total, std::string_view) {
                                EXPECT_EQ(total, 3u);
                                progress.push_back(done);
                            });
    EXPECT_TRUE(s.failures.empty());
    EXPECT_EQ(s.filesWritten, 3u);
    EXPECT_EQ(s.bytesWritten, 100001u);
    EXPECT_EQ(progress.back(), 3u);
    EXPECT_TRUE(fs::is_directory(dir / "out" / "nothing"));
    EXPECT_EQ(fs::file_size(dir / "out" / "top.txt"), 0u);
    EXPECT_EQ(testsupport::readFile(dir / "out" / "units" / "deep" / "b.fbi"),
              testsupport::randomBytes(100000, 1));

    // One chosen directory, found in another letter case: only its members.
    auto units = a->find("UNITS\\Deep");
    ASSERT_TRUE(units.has_value());
    const std::int32_t roots[] = {*units};
    auto s2 = a->extractTree(dir / "one", roots);
    EXPECT_EQ(s2.filesWritten, 1u);
    EXPECT_TRUE(fs::exists(dir / "one" / "units" / "deep" / "b.fbi"));
    EXPECT_FALSE(fs::exists(dir / "one" / "top.txt"));
}

TEST(ExtractTree, UnsafeMembersAreSkippedAndReported) {
    TempDir dir;
    const auto bytes = archiveWithNames(
        dir, {{"abcdef", "..\\..\\"}, {"xy", ".."}, {"a_b", "a/b"}, {"ctl", "c\x01l"}});
    auto a = Archive::fromMemory(bytes, "evil.hpi");
    ASSERT_TRUE(a.ok()) << a.error().message();
    const fs::path dest = dir / "jail" / "dest";
    auto s = a->extractTree(dest);
    EXPECT_EQ(s.filesWritten, 1u); // fine.txt only
    EXPECT_EQ(s.failures.size(), 4u);
    for (const auto& f : s.failures) {
        EXPECT_NE(f.message().find("unsafe name"), std::string::npos) << f.message();
        EXPECT_EQ(f.file, "evil.hpi");
    }
    // Nothing appeared outside the destination.
    std::size_t outside = 0;
    for (const auto& e : fs::recursive_directory_iterator(dir.path())) {
        const auto p = e.path().string();
        if (p.rfind(dest.string(), 0) != 0 && e.is_regular_file() &&
            e.path().filename() != "n.hpi") {
            ++outside;
        }
    }
    EXPECT_EQ(outside, 0u);
    EXPECT_TRUE(fs::exists(dest / "fine.txt"));
    // Names the format never stores ("..", one holding '\') are errors; the
    // others only cannot be written on a disk here.
    auto report = a->verify();
    EXPECT_EQ(report.errorCount(), 2u);
    EXPECT_GE(report.problems.size(), 4u);
}

TEST(ExtractTree, FailedMemberLeavesNoPartialFile) {
    TempDir dir;
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("big.bin", testsupport::randomBytes(200000, 2)));
    ASSERT_TRUE(w.write(dir / "b.hpi", Method::Zlib));
    auto bytes = testsupport::readFile(dir / "b.hpi");
    bytes[bytes.size() - 100] ^= 0xFF; // damage the last chunk
    auto a = Archive::fromMemory(bytes);
    ASSERT_TRUE(a.ok());
    auto st = a->extractTo(a->entries()[0], dir / "big.bin");
    EXPECT_FALSE(st.ok());
    EXPECT_EQ(st.error().member, "big.bin");
    EXPECT_FALSE(fs::exists(dir / "big.bin"));
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
        (void)e;
        ++n;
    }
    EXPECT_EQ(n, 1u); // only b.hpi
}

TEST(Lookup, DuplicateNamesFirstWinsAndVerifyReportsThem) {
    TempDir dir;
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("d\\aa.txt", {'1'}));
    ASSERT_TRUE(w.addBuffer("d\\bb.txt", {'2'}));
    ASSERT_TRUE(w.write(dir / "dup.hpi", Method::Zlib));
    auto bytes = testsupport::readFile(dir / "dup.hpi");
    const std::string from = "bb.txt", to = "AA.TXT";
    auto it = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    ASSERT_NE(it, bytes.end());
    std::copy(to.begin(), to.end(), it);
    auto a = Archive::fromMemory(bytes);
    ASSERT_TRUE(a.ok());
    auto found = a->find("D\\Aa.Txt");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(a->readAll(a->entries()[*found]).value(), std::vector<std::uint8_t>{'1'});
    auto report = a->verify();
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].member, "d\\AA.TXT");
    EXPECT_NE(report.problems[0].what.find("duplicate"), std::string::npos);
}
