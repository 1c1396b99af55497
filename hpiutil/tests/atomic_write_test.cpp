// A pack that fails leaves the old archive byte for byte and no temporary
// file beside it.
#include "hpiutil/archive.hpp"
#include "hpiutil/hpiutil.h"
#include "hpiutil/temporary_files.hpp"
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
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

// --- links, leftovers of killed writers, unreadable sources ---

namespace {

// The id of a process that has ended (a child that exited and was reaped).
long deadProcessId() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return long(child);
}

// Runs `body` in a child process with the rights of the unprivileged user
// "nobody" when the test runs as root (so permissions bind), else as it is.
// The body's folder is handed to that user first. True when the body passed.
template <class Body> bool asUnprivilegedUser(const fs::path& folder, Body body) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            for (const auto& e : fs::recursive_directory_iterator(folder)) {
                (void)::lchown(e.path().c_str(), kNobody, kNobody);
            }
            (void)::chown(folder.c_str(), kNobody, kNobody);
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
                ::_exit(3);
            }
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

TEST(AtomicWrite, AnArchiveReachedThroughALinkIsRewrittenWhereItIsAndTheLinkStays) {
    TempDir dir;
    const auto real = oldArchive(dir);
    fs::create_directories(dir / "links");
    const auto link = dir / "links" / "game.hpi";
    fs::create_symlink("../out/game.hpi", link);
    const auto second = dir / "links" / "again.hpi";
    fs::create_symlink(link, second); // a chain of two links

    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("new.txt", {'n', 'e', 'w'}));
    ASSERT_TRUE(w.write(second, Method::Zlib));

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_symlink(second));
    const auto after = testsupport::readFile(real);
    EXPECT_NE(std::string(after.begin(), after.end()).find("new.txt"), std::string::npos);
    // The temporary file was made beside the real archive and is gone.
    EXPECT_EQ(filesIn(real.parent_path()), 1u);
    EXPECT_EQ(filesIn(dir / "links"), 2u);
}

TEST(AtomicWrite, LeftoversOfWritersThatAreGoneAreRemovedAndLiveOnesKept) {
    TempDir dir;
    const auto target = oldArchive(dir);
    const fs::path out = target.parent_path();
    const long dead = deadProcessId();
    const auto stale = out / (TemporaryPrefix(out / "big.hpi", dead) + "a1B2c3");
    const auto live = out / (TemporaryPrefix(out / "big.hpi", long(::getpid())) + "d4E5f6");
    const auto other = out / ".big.hpi.tmp-notes";
    for (const auto& p : {stale, live, other}) {
        testsupport::writeFile(p, std::string_view("half an archive"));
    }
    EXPECT_EQ(TemporaryFileOwner(stale.filename().string()), dead);
    EXPECT_EQ(TemporaryFileOwner(other.filename().string()), std::nullopt);
    EXPECT_EQ(TemporaryFileOwner(".tmp-12-abcdef"), std::nullopt);

    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("new.txt", {'n'}));
    ASSERT_TRUE(w.write(target, Method::None));
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(live));
    EXPECT_TRUE(fs::exists(other));

    // A tool stopped by a signal removes its own.
    EXPECT_EQ(RemoveTemporaryFilesOf(out, long(::getpid())), 1u);
    EXPECT_FALSE(fs::exists(live));
    EXPECT_TRUE(fs::exists(other));
}

TEST(AtomicWrite, AnUnreadableSourceIsRefusedWhenAddedAndTheRestIsPacked) {
    TempDir dir;
    const fs::path src = dir / "src";
    testsupport::writeFile(src / "locked.txt", std::string_view("secret"));
    testsupport::writeFile(src / "open.txt", std::string_view("open"));
    fs::create_directories(src / "folder");
    fs::permissions(src / "locked.txt", fs::perms::none);
    const fs::path target = dir / "out.hpi";

    const bool passed = asUnprivilegedUser(dir.path(), [&] {
        const std::int32_t p = HPICreate(target.c_str(), nullptr);
        if (p == 0) {
            return false;
        }
        const bool lockedRefused = HPIAddFile(p, "locked.txt", (src / "locked.txt").c_str()) == 0;
        const std::string why = HPILastError();
        const bool folderRefused = HPIAddFile(p, "folder", (src / "folder").c_str()) == 0;
        const bool openAdded = HPIAddFile(p, "open.txt", (src / "open.txt").c_str()) != 0;
        const bool packed = HPIPackArchive(p, 2) != 0;
        return lockedRefused && why.find("locked.txt") != std::string::npos &&
               why.find("ermission denied") != std::string::npos && folderRefused && openAdded &&
               packed;
    });
    EXPECT_TRUE(passed);
    ASSERT_TRUE(fs::exists(target));
    auto archive = Archive::open(target);
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->find("open.txt").has_value());
    EXPECT_FALSE(archive->find("locked.txt").has_value());
}
