// The window test harness: an offscreen QApplication, a private home for
// every test (CRATEWARD_HOME, XDG_CONFIG_HOME, XDG_DATA_HOME, TA_DIR in its
// temporary folder), scripted dialogs that record every message, fixture
// archives, and mouse helpers that drive the real controls by name.
#pragma once

#include <gtest/gtest.h>

#include <QPoint>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive_preload.hpp"
#include "common/scripted_dialogs.hpp"
#include "common/settings_store.hpp"
#include "frm_main.hpp"
#include "launcher.hpp"
#include "sound_player.hpp"
#include "testsupport/testsupport.hpp"

class QAbstractItemView;
class QTreeWidgetItem;

namespace crateward::testing {

// One member of a fixture archive: a file with its text, or a directory
// when `directory` is set.
struct Member {
    std::string path;
    std::string text;
    bool directory = false;
};

void ensureApplication();

// Writes a stored (method 0) archive holding `members`.
void writeArchive(const std::filesystem::path& target, const std::vector<Member>& members);

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A started main window (start-up steps run with `commandLine`), given
    // `preload` before start-up as the program gives it.
    frmMain& start(const QString& commandLine = {},
                   std::unique_ptr<ArchivePreload> preload = nullptr);
    // Closes the window as the user would and forgets it.
    void closeWindow();
    // Writes `members` as a.hpi in the test's folder, starts the window and
    // opens that archive.
    frmMain& openFixture(const std::vector<Member>& members);
    // The list's view in the mode now shown.
    QAbstractItemView* listView() const;
    // Gives `target` the focus and presses `key` there.
    void pressKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = {});

    QTreeWidgetItem* node(const QString& key) const;
    void clickNode(const QString& key, Qt::MouseButton button = Qt::LeftButton);
    // Clicks or double-clicks the list row whose name is `name` in the
    // view now shown.
    void clickEntry(const QString& name, Qt::MouseButton button = Qt::LeftButton);
    void doubleClickEntry(const QString& name);
    QStringList listColumn(int column) const;
    QString panel(int i) const;
    void trigger(const char* actionName);
    QStringList messages() const;

    std::filesystem::path path(std::string_view child) const { return dir_ / child; }
    common::SettingsStore settings() const { return common::SettingsStore(dir_ / "config"); }
    std::filesystem::path home() const { return dir_ / "home"; }

    testsupport::TempDir dir_;
    std::unique_ptr<common::ScopedScriptedDialogs> dialogs_;
    // Every launch is recorded, none is made.
    std::unique_ptr<ScopedRecordingLauncher> launcher_;
    // Every sound is recorded, none is played.
    std::unique_ptr<ScopedRecordingSoundPlayer> sound_;
    // The desktop database tools the file association asked for.
    std::vector<std::string> toolRuns_;
    std::unique_ptr<frmMain> window_;

private:
    QPoint entryCenter(const QString& name) const;
};

} // namespace crateward::testing
