#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "member_paths.hpp"
#include "mod_hpiutil.hpp"
#include "testsupport/testsupport.hpp"
#include "working_directory.hpp"

namespace {

namespace fs = std::filesystem;

TEST(WorkingDirectory, TakesTheFirstFreeSlotWhateverTakesTheOthers) {
    testsupport::TempDir dir;
    const fs::path base = dir / "home";
    auto first = crateward::ClaimWorkingDirectory(base); // the base is created
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, base / "temp1");
    fs::create_directory(base / "temp3");
    testsupport::writeFile(base / "temp2", "a file keeps the slot taken too");
    auto next = crateward::ClaimWorkingDirectory(base);
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, base / "temp4");
    fs::remove(base / "temp2");
    EXPECT_EQ(*crateward::ClaimWorkingDirectory(base), base / "temp2");
    for (int n = 5; n <= 10; ++n) {
        fs::create_directory(base / ("temp" + std::to_string(n)));
    }
    EXPECT_FALSE(crateward::ClaimWorkingDirectory(base));
}

TEST(WorkingDirectory, InstancesStartedAtOnceNeverShareASlot) {
    testsupport::TempDir dir;
    const fs::path base = dir / "home";
    fs::create_directory(base);
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 12; ++i) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto slot = crateward::ClaimWorkingDirectory(base);
            const char c =
                slot ? char('0' + std::stoi(slot->filename().string().substr(4)) % 10) : 'x';
            (void)!write(pipefd[1], &c, 1);
            _exit(0);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        waitpid(pid, nullptr, 0);
    }
    close(pipefd[1]);
    std::multiset<char> got;
    char c;
    while (read(pipefd[0], &c, 1) == 1) {
        got.insert(c);
    }
    close(pipefd[0]);
    EXPECT_EQ(got.count('x'), 2u);
    for (char d = '0'; d <= '9'; ++d) {
        EXPECT_EQ(got.count(d), 1u) << d;
    }
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

} // namespace
