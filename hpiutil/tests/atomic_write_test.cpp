// A pack that fails leaves the old archive byte for byte and no temporary
// file beside it.
#include "hpiutil/hpiutil.h"
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace hpiutil;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

std::size_t filesIn(const fs::path& dir) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        (void)e;
        ++n;
    }
    return n;
}

fs::path oldArchive(const TempDir& dir) {
    ArchiveWriter w;
    EXPECT_TRUE(w.addBuffer("old.txt", {'o', 'l', 'd'}));
    const auto target = dir / "out" / "game.hpi";
    fs::create_directories(target.parent_path());
    EXPECT_TRUE(w.write(target, Method::Zlib));
    return target;
}

fs::path g_victim;
std::int32_t deleteVictim(std::int32_t, const char*, std::int32_t, std::int32_t, std::int32_t,
                          std::int32_t, std::int32_t, std::int32_t) {
    if (!g_victim.empty()) {
        fs::remove(g_victim);
        g_victim.clear();
    }
    return 0;
}

} // namespace

TEST(AtomicWrite, SourceDeletedBeforePackingLeavesTheOldArchive) {
    TempDir dir;
    const auto target = oldArchive(dir);
    const auto before = testsupport::readFile(target);
    testsupport::writeFile(dir / "src" / "a.txt", std::string_view("a"));
    const std::int32_t p = HPICreate(target.c_str(), nullptr);
    ASSERT_NE(p, 0);
    ASSERT_NE(HPIAddFile(p, "a.txt", (dir / "src" / "a.txt").c_str()), 0);
    fs::remove(dir / "src" / "a.txt");
    EXPECT_EQ(HPIPackArchive(p, 2), 0);
    EXPECT_NE(std::string(HPILastError()).find("a.txt"), std::string::npos);
    EXPECT_EQ(testsupport::readFile(target), before);
    EXPECT_EQ(filesIn(target.parent_path()), 1u);
}

TEST(AtomicWrite, SourceVanishingMidwayLeavesTheOldArchive) {
    TempDir dir;
    const auto target = oldArchive(dir);
    const auto before = testsupport::readFile(target);
    // The first file is long enough (40 chunks) that the compressors cannot
    // have reached the second one when the first progress call deletes it.
    testsupport::writeFile(dir / "src" / "a.bin", testsupport::randomBytes(40 * 65536, 1));
    testsupport::writeFile(dir / "src" / "b.bin", std::string_view("bbbb"));
    const std::int32_t p = HPICreate(target.c_str(), deleteVictim);
    ASSERT_NE(p, 0);
    ASSERT_NE(HPIAddFile(p, "a.bin", (dir / "src" / "a.bin").c_str()), 0);
    ASSERT_NE(HPIAddFile(p, "b.bin", (dir / "src" / "b.bin").c_str()), 0);
    g_victim = dir / "src" / "b.bin";
    EXPECT_EQ(HPIPackArchive(p, 2), 0);
    EXPECT_TRUE(g_victim.empty()) << "the callback never ran";
    EXPECT_EQ(testsupport::readFile(target), before);
    EXPECT_EQ(filesIn(target.parent_path()), 1u);
}

TEST(AtomicWrite, UnwritableTargetsLeaveNothingBehind) {
    TempDir dir;
    const auto target = oldArchive(dir);
    const auto before = testsupport::readFile(target);
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("new.txt", {'n'}));

    // A folder where the archive should go: the rename fails, the temporary goes.
    fs::create_directories(dir / "out" / "taken.hpi" / "inside");
    EXPECT_FALSE(w.write(dir / "out" / "taken.hpi", Method::Zlib));
    EXPECT_EQ(filesIn(dir / "out"), 2u);

    if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root: a read-only folder does not stop root";
    }
    fs::permissions(dir / "out", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(w.write(target, Method::Zlib));
    fs::permissions(dir / "out", fs::perms::owner_all);
    EXPECT_EQ(testsupport::readFile(target), before);
    EXPECT_EQ(filesIn(dir / "out"), 2u);
}

TEST(AtomicWrite, SuccessfulPackReplacesTheOldArchive) {
    TempDir dir;
    const auto target = oldArchive(dir);
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("new.txt", {'n', 'e', 'w'}));
    ASSERT_TRUE(w.write(target, Method::Lz77));
    const auto after = testsupport::readFile(target);
    EXPECT_NE(std::string(after.begin(), after.end()).find("new.txt"), std::string::npos);
    EXPECT_EQ(filesIn(target.parent_path()), 1u);
    // Permissions follow the umask like any new file, not the temporary's 0600.
    EXPECT_TRUE((fs::status(target).permissions() & fs::perms::owner_read) != fs::perms::none);
}
