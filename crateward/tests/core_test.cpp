#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "archive_preload.hpp"
#include "case_folded_tree.hpp"
#include "hpiutil/writer.hpp"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"
#include "recent_archives.hpp"
#include "settings_keys.hpp"
#include "testsupport/testsupport.hpp"
#include "working_directory.hpp"

namespace {

namespace fs = std::filesystem;

TEST(WorkingDirectory, TakesTheFirstSlotNoRunningInstanceOwns) {
    testsupport::TempDir dir;
    const fs::path base = dir / "home";
    auto first = crateward::ClaimWorkingDirectory(base); // the base is created
    ASSERT_TRUE(first);
    EXPECT_EQ(first->folder(), base / "temp1");
    auto second = crateward::ClaimWorkingDirectory(base);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->folder(), base / "temp2");
    {
        // A slot given up (its owner ended) is free again.
        auto third = crateward::ClaimWorkingDirectory(base);
        EXPECT_EQ(third->folder(), base / "temp3");
    }
    std::vector<crateward::WorkingDirectorySlot> held;
    for (int n = 3; n <= 10; ++n) {
        auto slot = crateward::ClaimWorkingDirectory(base);
        ASSERT_TRUE(slot);
        EXPECT_EQ(slot->folder(), base / ("temp" + std::to_string(n)));
        held.push_back(std::move(*slot));
    }
    EXPECT_FALSE(crateward::ClaimWorkingDirectory(base));
    second->Remove();
    EXPECT_FALSE(fs::exists(base / "temp2"));
    EXPECT_EQ(crateward::ClaimWorkingDirectory(base)->folder(), base / "temp2");
}

// Ends a child process when the test ends, however it ends.
struct ChildProcess {
    pid_t pid;
    ~ChildProcess() {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};

TEST(WorkingDirectory, FoldersOfInstancesThatAreGoneAreRemovedAndLiveOnesKept) {
    testsupport::TempDir dir;
    const fs::path base = dir / "home";
    // A running instance owns temp1; a killed one left temp2 (with its lock
    // file) holding an unpacked archive, and temp3 lies there without one.
    const ChildProcess owner{fork()};
    if (owner.pid == 0) {
        auto slot = crateward::ClaimWorkingDirectory(base);
        testsupport::writeFile(base / "ready", "x");
        pause();
        _exit(0);
    }
    while (!fs::exists(base / "ready")) {
        usleep(1000);
    }
    const pid_t killed = fork();
    if (killed == 0) {
        auto slot = crateward::ClaimWorkingDirectory(base);
        if (slot) {
            testsupport::writeFile(slot->folder() / "units" / "armcom.fbi", "unsaved");
        }
        kill(getpid(), SIGKILL);
    }
    waitpid(killed, nullptr, 0);
    ASSERT_TRUE(fs::exists(base / "temp1"));
    ASSERT_TRUE(fs::exists(base / "temp2" / "units" / "armcom.fbi"));
    testsupport::writeFile(base / "temp3" / "left.txt", "x");
    testsupport::writeFile(base / "temp1" / "live.txt", "x");

    auto mine = crateward::ClaimWorkingDirectory(base);
    ASSERT_TRUE(mine);
    EXPECT_EQ(mine->folder(), base / "temp2");
    EXPECT_TRUE(fs::is_empty(base / "temp2"));
    EXPECT_FALSE(fs::exists(base / "temp3"));
    EXPECT_TRUE(fs::exists(base / "temp1" / "live.txt"));
}

TEST(WorkingDirectory, InstancesStartedAtOnceNeverShareASlot) {
    testsupport::TempDir dir;
    const fs::path base = dir / "home";
    fs::create_directory(base);
    int pipefd[2];
    int gofd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    ASSERT_EQ(pipe(gofd), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 12; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(gofd[1]);
            auto slot = crateward::ClaimWorkingDirectory(base);
            const char c =
                slot ? char('0' + std::stoi(slot->folder().filename().string().substr(4)) % 10)
                     : 'x';
            (void)!write(pipefd[1], &c, 1);
            // Every instance runs until all have started.
            char go;
            (void)!read(gofd[0], &go, 1);
            _exit(0);
        }
        children.push_back(pid);
    }
    close(pipefd[1]);
    close(gofd[0]);
    std::multiset<char> got;
    char c;
    while (got.size() < children.size() && read(pipefd[0], &c, 1) == 1) {
        got.insert(c);
    }
    close(gofd[1]); // the instances end
    for (const pid_t pid : children) {
        waitpid(pid, nullptr, 0);
    }
    close(pipefd[0]);
    EXPECT_EQ(got.count('x'), 2u);
    for (char d = '0'; d <= '9'; ++d) {
        EXPECT_EQ(got.count(d), 1u) << d;
    }
}

TEST(CaseFoldedTree, NamesDifferingInCaseShareOneDiskPathWithTheFirstSpelling) {
    testsupport::TempDir dir;
    fs::create_directories(dir / "Units");
    crateward::CaseFoldedTree tree(dir.path());
    EXPECT_EQ(tree.place("UNITS/ARMCOM.FBI", false), dir / "Units" / "ARMCOM.FBI");
    testsupport::writeFile(dir / "Units" / "ARMCOM.FBI", "first");
    EXPECT_EQ(tree.place("units/armcom.fbi", false), dir / "Units" / "ARMCOM.FBI");
    EXPECT_EQ(tree.place("units/sounds/\xc3\x89T\xc3\x89.wav", false),
              dir / "Units" / "sounds" / "\xc3\x89T\xc3\x89.wav");
    EXPECT_EQ(tree.place("UNITS/SOUNDS/\xc3\xa9t\xc3\xa9.WAV", false),
              dir / "Units" / "sounds" / "\xc3\x89T\xc3\x89.wav");
    EXPECT_TRUE(fs::is_directory(dir / "Units" / "sounds"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(WorkingDirectory, RemovalEmptiesTheTreeButNotWhatLinksPointTo) {
    testsupport::TempDir dir;
    const fs::path outside = dir / "outside";
    fs::create_directories(outside);
    testsupport::writeFile(outside / "keep.txt", "x");
    const fs::path work = dir / "temp1";
    fs::create_directories(work / "a" / "b");
    testsupport::writeFile(work / "a" / "b" / "f.txt", "x");
    testsupport::writeFile(work / "g", "x");
    fs::create_directory_symlink(outside, work / "link");
    crateward::RemoveWorkingDirectory(work);
    EXPECT_FALSE(fs::exists(work));
    EXPECT_TRUE(fs::exists(outside / "keep.txt"));
    crateward::RemoveWorkingDirectory({}); // nothing claimed: nothing happens
}

TEST(UserDataDirectory, FollowsTheVariables) {
    const char* savedHome = std::getenv("CRATEWARD_HOME");
    const std::string saved = savedHome ? savedHome : "";
    setenv("CRATEWARD_HOME", "/x/home", 1);
    EXPECT_EQ(crateward::UserDataDirectory(), fs::path("/x/home"));
    unsetenv("CRATEWARD_HOME");
    setenv("XDG_DATA_HOME", "/x/data", 1);
    EXPECT_EQ(crateward::UserDataDirectory(), fs::path("/x/data/crateward"));
    if (savedHome) {
        setenv("CRATEWARD_HOME", saved.c_str(), 1);
    }
}

TEST(MemberPaths, SafeRelativePathRefusesEverythingThatCouldEscape) {
    EXPECT_EQ(*crateward::SafeRelativePath("units\\armcom.fbi"), fs::path("units/armcom.fbi"));
    EXPECT_EQ(*crateward::SafeRelativePath("a b.txt"), fs::path("a b.txt"));
    for (const char* bad : {"", "\\abs", "..", "a\\..\\b", ".\\a", "a\\\\b", "a\\", "C:\\x", "c:x",
                            "a/../b", "/etc/passwd",
                            "a\x01"
                            "b",
                            "a\\b\x7f"}) {
        EXPECT_FALSE(crateward::SafeRelativePath(bad)) << bad;
    }
}

TEST(MemberPaths, ExtensionAndFileName) {
    EXPECT_EQ(crateward::ExtensionOf("a.b.gaf"), "gaf");
    EXPECT_EQ(crateward::ExtensionOf("readme"), "");
    EXPECT_EQ(crateward::ExtensionOf("dot."), "");
    EXPECT_EQ(crateward::FileNameOf("a\\b\\c.txt"), "c.txt");
    EXPECT_EQ(crateward::FileNameOf("c.txt"), "c.txt");
}

TEST(ArchiveBinding, BuffersAreCutAtTheFirstNulAndNeverOverread) {
    const char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(crateward::hpi::TextFromBuffer(full, sizeof full), "abcd");
    const char cut[5] = {'a', '\0', 'c', ' ', ' '};
    EXPECT_EQ(crateward::hpi::TextFromBuffer(cut, sizeof cut), "a");
}

TEST(GameDirectory, IsTheLibraryAnswerWithATrailingSlash) {
    testsupport::TempDir dir;
    const char* savedTa = std::getenv("TA_DIR");
    const std::string saved = savedTa ? savedTa : "";
    setenv("TA_DIR", dir.path().c_str(), 1);
    EXPECT_EQ(crateward::GameDirectory(), dir.path().string() + "/");
    if (savedTa) {
        setenv("TA_DIR", saved.c_str(), 1);
    } else {
        unsetenv("TA_DIR");
    }
}

TEST(RecentArchives, InstancesOpeningArchivesAtOnceLoseNoEntry) {
    testsupport::TempDir dir;
    const common::SettingsStore store(dir.path());
    constexpr int kInstances = crateward::kRecentCount;
    std::vector<pid_t> children;
    for (int i = 0; i < kInstances; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            _exit(crateward::PushRecentArchive(store, "/mods/" + std::to_string(i) + ".hpi") ? 0
                                                                                             : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::set<std::string> listed;
    for (int key = 1; key <= crateward::kRecentCount; ++key) {
        listed.insert(store.read(crateward::kApp, crateward::kRecent, std::to_string(key)));
    }
    EXPECT_EQ(listed.size(), std::size_t(kInstances));
    EXPECT_EQ(listed.count(""), 0u);
}

} // namespace

namespace {

// An archive of `directories` folders holding `filesEach` files each.
fs::path writeFolders(const fs::path& target, int directories, int filesEach) {
    hpiutil::ArchiveWriter writer;
    for (int d = 0; d < directories; ++d) {
        for (int f = 0; f < filesEach; ++f) {
            EXPECT_TRUE(writer.addBuffer("top\\d" + std::to_string(d) + "\\f" + std::to_string(f),
                                         std::vector<std::uint8_t>(3, 'x')));
        }
    }
    EXPECT_TRUE(writer.write(target, hpiutil::Method::None));
    return target;
}

} // namespace

TEST(ArchivePreload, GivesWhatOpeningThenGivesAndClosesWhatNobodyTook) {
    testsupport::TempDir dir;
    const std::string file = writeFolders(dir / "a.hpi", 3, 4).string();
    const crateward::ArchiveListing now = crateward::ListArchive(file);
    ASSERT_NE(now.handle, 0);
    EXPECT_EQ(now.directories, (std::vector<std::string>{"top", "top\\d0", "top\\d1", "top\\d2"}));
    EXPECT_EQ(now.fileCount, 12);
    crateward::hpi::Close(now.handle);

    crateward::ArchivePreload preload(file);
    EXPECT_EQ(preload.archiveFile(), file);
    crateward::ArchiveListing ahead = preload.take();
    ASSERT_NE(ahead.handle, 0);
    EXPECT_TRUE(preload.listed());
    EXPECT_EQ(ahead.directories, now.directories);
    EXPECT_EQ(ahead.fileCount, now.fileCount);
    crateward::hpi::ListEntry entry;
    EXPECT_NE(crateward::hpi::GetFiles(ahead.handle, 0, entry), 0); // the handle is the taker's
    EXPECT_EQ(preload.take().handle, 0);                            // once only
    crateward::hpi::Close(ahead.handle);

    // Handles are numbered upwards: the one after the last closed is the
    // untaken preload's, alive until the preload goes.
    const std::int32_t last = crateward::ListArchive(file).handle;
    crateward::hpi::Close(last);
    { crateward::ArchivePreload nobody(file); }
    EXPECT_EQ(crateward::hpi::GetFiles(last + 1, 0, entry), 0);

    std::ofstream(dir / "text.hpi") << "not an archive";
    crateward::ArchivePreload text((dir / "text.hpi").string());
    const crateward::ArchiveListing none = text.take();
    EXPECT_EQ(none.handle, 0);
    EXPECT_FALSE(text.listed()); // the window then draws before the message
    EXPECT_TRUE(none.directories.empty());
    EXPECT_EQ(none.fileCount, 0);
}
