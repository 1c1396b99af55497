// "Extract" with several entries selected: one folder for them all.
#include <QAction>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "gui_harness.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<Member> kMembers = {
    {"readme.txt", "hello"},
    {"units\\armcom.fbi", "[UNITINFO] arm"},
    {"units\\corcom.fbi", "[UNITINFO] cor"},
    {"units\\sounds\\boom.wav", "RIFF boom"},
    {"units\\sounds\\deep\\x.3do", "3do"},
    {"units\\empty", "", true},
    {"other\\armcom.fbi", "[UNITINFO] other"},
};

using testsupport::readText;

class MultiExtract : public WindowTest {
protected:
    frmMain& openArchive() { return openFixture(kMembers); }
};

TEST_F(MultiExtract, CtrlAThenExtractWritesTheWholeFolderIntoOneChosenFolder) {
    frmMain& w = openArchive();
    clickNode("units");
    clickEntry("armcom.fbi");
    pressKey(listView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.FileView->selectedRows().size(), w.FileView->model()->count());
    const fs::path out = path("out");
    fs::create_directories(out);
    (*dialogs_)->queueText(QString::fromStdString(out.string()));
    trigger("mnuExtract");
    // One folder asked for, no save dialog per file; "About" never opened.
    ASSERT_GE((*dialogs_)->calls.size(), 1u);
    EXPECT_EQ((*dialogs_)->calls[0].kind, "chooseDirectory");
    for (const auto& call : (*dialogs_)->calls) {
        EXPECT_NE(call.kind, "saveFile");
    }
    EXPECT_EQ(readText(out / "armcom.fbi"), "[UNITINFO] arm");
    EXPECT_EQ(readText(out / "corcom.fbi"), "[UNITINFO] cor");
    EXPECT_EQ(readText(out / "sounds" / "boom.wav"), "RIFF boom");
    EXPECT_EQ(readText(out / "sounds" / "deep" / "x.3do"), "3do");
    EXPECT_TRUE(fs::is_directory(out / "empty"));
    EXPECT_FALSE(fs::exists(out / "units"));
    const auto& done = (*dialogs_)->calls.back();
    EXPECT_TRUE(done.text.startsWith("4 files extracted into")) << done.text.toStdString();
    EXPECT_EQ(panel(1), "Ready");
    EXPECT_TRUE(w.FileView->isEnabled());
    EXPECT_TRUE(w.findChild<QLineEdit*>("FileFilter")->isEnabled());
}

TEST_F(MultiExtract, FoundEntriesOfOneNameAreNotWrittenOverEachOther) {
    frmMain& w = openArchive();
    auto* box = w.findChild<QLineEdit*>("FileFilter");
    QTest::keyClicks(box, "armcom");
    ASSERT_EQ(w.FileView->model()->count(), 2);
    pressKey(listView(), Qt::Key_A, Qt::ControlModifier);
    const fs::path out = path("out");
    fs::create_directories(out);
    (*dialogs_)->queueText(QString::fromStdString(out.string()));
    trigger("popupExtract");
    // The first in the list is written; the second is told, not lost.
    const QString firstFolder = w.FileView->model()->entry(0).folder;
    EXPECT_EQ(readText(out / "armcom.fbi"),
              firstFolder == "other" ? "[UNITINFO] other" : "[UNITINFO] arm");
    const auto& done = (*dialogs_)->calls.back();
    EXPECT_TRUE(done.text.contains("1 file extracted")) << done.text.toStdString();
    EXPECT_TRUE(done.extras.details.contains("same name")) << done.extras.details.toStdString();
}

} // namespace
} // namespace crateward::testing
