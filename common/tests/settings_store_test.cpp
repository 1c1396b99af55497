#include "common/settings_store.hpp"

#include <gtest/gtest.h>

#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "testsupport/testsupport.hpp"

namespace {

using common::SettingsStore;

std::string fileText(const std::filesystem::path& p) {
    const auto bytes = testsupport::readFile(p);
    return std::string(bytes.begin(), bytes.end());
}

TEST(SettingsStore, MissingFileSectionOrKeyGivesTheDefault) {
    testsupport::TempDir dir;
    SettingsStore store(dir.path());
    EXPECT_EQ(store.read("Crateward", "Options", "View Type", "3"), "3");
    ASSERT_TRUE(store.write("Crateward", "Options", "View Type", "1"));
    EXPECT_EQ(store.read("Crateward", "Other", "View Type", "d"), "d");
    EXPECT_EQ(store.read("Crateward", "Options", "Missing", "d"), "d");
    EXPECT_EQ(store.read("Meshglass", "Options", "View Type", "d"), "d");
    EXPECT_EQ(store.readNumber("Crateward", "Options", "View Type", 3), 1);
}

TEST(SettingsStore, KeysAreVerbatimAndMatchWithoutRegardToCase) {
    testsupport::TempDir dir;
    SettingsStore store(dir.path());
    ASSERT_TRUE(store.write("Crateward", "Options", "Show/Hide ToolBar", "False"));
    EXPECT_EQ(store.read("Crateward", "options", "Show/Hide Toolbar", "True"), "False");
    EXPECT_FALSE(store.readFlag("Crateward", "Options", "Show/Hide Toolbar", true));
    // A write under another spelling replaces the value and keeps the stored key.
    ASSERT_TRUE(store.write("Crateward", "OPTIONS", "show/hide toolbar", "True"));
    const std::string text = fileText(store.fileOf("Crateward"));
    EXPECT_EQ(text, "[Options]\nShow/Hide ToolBar=True\n");
    // Latin-1 letters of UTF-8 fold too.
    ASSERT_TRUE(store.write("Crateward", "Programmes", "Répertoire", "x"));
    EXPECT_EQ(store.read("Crateward", "PROGRAMMES", "RÉPERTOIRE"), "x");
    EXPECT_TRUE(common::sameName("Affichage texte", "AFFICHAGE TEXTE"));
    EXPECT_FALSE(common::sameName("Text Top", "Text Top "));
}

TEST(SettingsStore, WritesKeepOtherSectionsCommentsAndValuesWithSpecialCharacters) {
    testsupport::TempDir dir;
    SettingsStore store(dir.path());
    const auto file = store.fileOf("Crateward");
    std::filesystem::create_directories(file.parent_path());
    testsupport::writeFile(file, "; kept\n[Opened Hpi]\n1=/a b/c=d.hpi\n\n[Options]\nx=1\n");
    ASSERT_TRUE(store.write("Crateward", "Opened Hpi", "2", "/e.ufo"));
    ASSERT_TRUE(store.write("Crateward", "Options", "y", ""));
    ASSERT_TRUE(store.write("Crateward", "Affichage texte", "Text Top", "2000"));
    EXPECT_EQ(fileText(file), "; kept\n[Opened Hpi]\n1=/a b/c=d.hpi\n2=/e.ufo\n\n[Options]\nx=1\n"
                              "y=\n\n[Affichage texte]\nText Top=2000\n");
    EXPECT_EQ(store.read("Crateward", "Opened Hpi", "1"), "/a b/c=d.hpi");
    EXPECT_EQ(store.read("Crateward", "Options", "y", "default"), "");
}

TEST(SettingsStore, RefusesWhatALineCannotHold) {
    testsupport::TempDir dir;
    SettingsStore store(dir.path());
    EXPECT_FALSE(store.write("Crateward", "Options", "a=b", "1"));
    EXPECT_FALSE(store.write("Crateward", "Options", "k", "two\nlines"));
    EXPECT_FALSE(store.write("Crateward", "Opt]ions", "k", "1"));
    EXPECT_FALSE(store.write("Crateward", "Options", "", "1"));
    EXPECT_FALSE(store.write("../escape", "Options", "k", "1"));
    EXPECT_FALSE(std::filesystem::exists(store.fileOf("Crateward")));
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "escape"));
}

TEST(SettingsStore, NumbersAndFlagsFallBackOnUnreadableText) {
    testsupport::TempDir dir;
    SettingsStore store(dir.path());
    ASSERT_TRUE(store.writeNumber("Crateward", "Options", "frmMain Left", -60));
    EXPECT_EQ(store.readNumber("Crateward", "Options", "frmMain Left", 500), -60);
    ASSERT_TRUE(store.write("Crateward", "Options", "frmMain Top", "12abc"));
    EXPECT_EQ(store.readNumber("Crateward", "Options", "frmMain Top", 500), 500);
    ASSERT_TRUE(store.write("Crateward", "Options", "frmMain Top", "99999999999999999999"));
    EXPECT_EQ(store.readNumber("Crateward", "Options", "frmMain Top", 500), 500);
    ASSERT_TRUE(store.write("Crateward", "Options", "Flag", "maybe"));
    EXPECT_TRUE(store.readFlag("Crateward", "Options", "Flag", true));
    ASSERT_TRUE(store.writeFlag("Crateward", "Options", "Flag", false));
    EXPECT_EQ(store.read("Crateward", "Options", "Flag"), "False");
}

// Ten processes writing their own keys at once: the lock and the atomic
// replace keep every key.
TEST(SettingsStore, ConcurrentWritersLoseNothing) {
    testsupport::TempDir dir;
    SettingsStore store(dir.path());
    constexpr int kWriters = 10;
    constexpr int kKeys = 20;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int k = 0; k < kKeys; ++k) {
                ok = store.write("Crateward", "S", std::to_string(w) + "-" + std::to_string(k),
                                 std::to_string(k)) &&
                     ok;
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w) {
        for (int k = 0; k < kKeys; ++k) {
            EXPECT_EQ(store.read("Crateward", "S", std::to_string(w) + "-" + std::to_string(k)),
                      std::to_string(k));
        }
    }
    // No temporary file is left beside the store.
    int files = 0;
    for ([[maybe_unused]] const auto& e :
         std::filesystem::directory_iterator(store.fileOf("Crateward").parent_path())) {
        ++files;
    }
    EXPECT_EQ(files, 2); // settings.ini and its lock file
}

TEST(SettingsStore, AnUpdateSeesTheFileAndStoresAllItsWritesAtOnce) {
    testsupport::TempDir dir;
    SettingsStore store(dir.path());
    ASSERT_TRUE(store.write("Crateward", "List", "1", "a"));
    bool refused = true;
    ASSERT_TRUE(store.update("Crateward", [&](common::SettingsEdit& edit) {
        EXPECT_EQ(edit.read("LIST", "1"), "a");
        EXPECT_TRUE(edit.write("List", "2", edit.read("List", "1")));
        EXPECT_TRUE(edit.write("List", "1", "b"));
        refused = edit.write("List", "bad=key", "x");
        // Nothing is on disk before the update ends.
        EXPECT_EQ(store.read("Crateward", "List", "1"), "a");
    }));
    EXPECT_FALSE(refused);
    EXPECT_EQ(store.read("Crateward", "List", "1"), "b");
    EXPECT_EQ(store.read("Crateward", "List", "2"), "a");
}

TEST(SettingsStore, ASettingsFileThatIsALinkStaysOne) {
    testsupport::TempDir dir;
    SettingsStore store(dir / "config");
    std::filesystem::create_directories(dir / "dotfiles");
    testsupport::writeFile(dir / "dotfiles" / "crateward.ini", "[Options]\nView Type=1\n");
    const auto file = store.fileOf("Crateward");
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::create_symlink(dir / "dotfiles" / "crateward.ini", file);
    ASSERT_TRUE(store.write("Crateward", "Options", "View Type", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_EQ(fileText(dir / "dotfiles" / "crateward.ini"), "[Options]\nView Type=2\n");
}

} // namespace
