// The list and the tree driven from the keyboard, and picking several
// entries.
#include <QAction>
#include <QApplication>
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

const std::vector<Member> kMembers = {
    {"readme.txt", "hello"},
    {"units\\armcom.fbi", "[UNITINFO] arm"},
    {"units\\corcom.fbi", "[UNITINFO] cor"},
    {"units\\sounds\\boom.wav", "RIFF boom"},
    {"units\\sounds\\deep\\x.3do", "3do"},
    {"units\\empty", "", true},
    {"other\\armcom.fbi", "[UNITINFO] other"},
};

class ListTest : public WindowTest {
protected:
    frmMain& openArchive() { return openFixture(kMembers); }
};

TEST_F(ListTest, ARightClickKeepsSeveralSelectedAndCtrlASelectsAll) {
    frmMain& w = openArchive();
    clickNode("units");
    clickEntry("armcom.fbi");
    const QModelIndex cor = w.FileView->model()->index(w.FileView->model()->rowOf("corcom.fbi"), 0);
    QTest::mouseClick(listView()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      listView()->visualRect(cor).center());
    EXPECT_EQ(w.FileView->selectedRows().size(), 2);
    clickEntry("corcom.fbi", Qt::RightButton);
    EXPECT_EQ(w.FileView->selectedRows().size(), 2);
    w.FileViewPopupMenu->hide();
    // Ctrl+A in the list selects every entry; "About" keeps it elsewhere.
    pressKey(listView(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.FileView->selectedRows().size(), w.FileView->model()->count());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The selection stays across the view modes.
    trigger("mnuViewList");
    EXPECT_EQ(w.FileView->selectedRows().size(), w.FileView->model()->count());
}

TEST_F(ListTest, ArrowsPreviewEnterOpensBackspaceGoesUpAndTheMenuKeyPopsUp) {
    frmMain& w = openArchive();
    clickNode("units\\sounds");
    EXPECT_EQ(listColumn(0), QStringList({"boom.wav", "deep"}));
    clickEntry("deep");
    // Up: the sound entry is selected and previewed as a click would.
    pressKey(listView(), Qt::Key_Up);
    EXPECT_EQ(w.FileView->selectedRow(), 0);
    EXPECT_EQ(panel(6), "boom.wav");
    EXPECT_TRUE(w.WavVisu->isVisible());
    // Enter plays it, as a double-click does.
    pressKey(listView(), Qt::Key_Return);
    ASSERT_EQ(sound_->recorder().plays.size(), 1u);
    EXPECT_TRUE(sound_->recorder().plays[0].path.endsWith("units/sounds/boom.wav"));
    // Down then Enter on the folder goes into it.
    pressKey(listView(), Qt::Key_Down);
    EXPECT_FALSE(w.WavVisu->isVisible());
    pressKey(listView(), Qt::Key_Return);
    EXPECT_EQ(panel(5), "units\\sounds\\deep\\");
    EXPECT_EQ(listColumn(0), QStringList({"x.3do"}));
    // Backspace: the parent folder, with the folder left selected.
    pressKey(listView(), Qt::Key_Backspace);
    EXPECT_EQ(panel(5), "units\\sounds\\");
    EXPECT_EQ(w.FileView->model()->entry(w.FileView->selectedRow()).name, "deep");
    // The context-menu key opens the entry's pop-up.
    pressKey(listView(), Qt::Key_Menu);
    EXPECT_TRUE(w.FileViewPopupMenu->isVisible());
    w.FileViewPopupMenu->hide();
    // Shift+Down picks two entries without previewing the second.
    pressKey(listView(), Qt::Key_Home);
    pressKey(listView(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(w.FileView->selectedRows().size(), 2);
    EXPECT_EQ(panel(6), "boom.wav");
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ListTest, TreeArrowsSelectFoldersAndTheListFollows) {
    frmMain& w = openArchive();
    clickNode("Root");
    pressKey(w.Tree, Qt::Key_Down); // "other", sorted first below the root
    EXPECT_EQ(panel(5), "other\\");
    EXPECT_EQ(listColumn(0), QStringList({"armcom.fbi"}));
    pressKey(w.Tree, Qt::Key_Down);
    EXPECT_EQ(panel(5), "units\\");
    pressKey(w.Tree, Qt::Key_Right); // expands
    pressKey(w.Tree, Qt::Key_Right); // first child
    EXPECT_EQ(panel(5), "units\\empty\\");
    // F5 keeps its meaning: the save dialog of the selected file.
    clickNode("units");
    clickEntry("armcom.fbi");
    pressKey(listView(), Qt::Key_F5);
    ASSERT_FALSE((*dialogs_)->calls.empty());
    EXPECT_EQ((*dialogs_)->calls.back().title, "Save file as...");
}

} // namespace
} // namespace crateward::testing
