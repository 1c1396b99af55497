// Start-up, shut-down, the working directory slots, the saved placement and
// view options, the bars and the layout of the main window.
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <QTreeWidget>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include "file_view_control.hpp"
#include "gui_harness.hpp"
#include "settings_keys.hpp"
#include "signal_bridge.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

class Window : public WindowTest {};

TEST_F(Window, StartsWithDefaultsAndShutsDownCleanly) {
    frmMain& w = start();
    EXPECT_EQ(w.objectName(), "frmMain");
    EXPECT_EQ(w.windowTitle(), "Crateward");
    EXPECT_EQ(panel(1), "Ready");
    const QSize first = w.size();       // no size stored: the first start's
    EXPECT_EQ(w.pos(), QPoint(33, 33)); // 500 twips
    EXPECT_TRUE(w.CoolBar->isVisible());
    EXPECT_TRUE(w.Status->isVisible());
    EXPECT_EQ(w.FileView->viewMode(), 3);
    EXPECT_TRUE(w.findChild<QAction*>("mnuViewDetails")->isChecked());
    EXPECT_TRUE(w.ToolbarView->findChild<QAction*>("ViewReport")->isChecked());
    EXPECT_FALSE(w.findChild<QMenu*>("mnuHPIArchive")->menuAction()->isEnabled());
    EXPECT_FALSE(w.findChild<QAction*>("mnuExpand")->isEnabled());
    const QString work = w.workingDirectory();
    EXPECT_EQ(work, QString::fromStdString((home() / "temp1").string()) + "/");
    fs::create_directories(work.toStdString() + "units/deep");
    testsupport::writeFile(work.toStdString() + "units/deep/copy.3do", "x");
    closeWindow();
    EXPECT_FALSE(fs::exists(work.toStdString()));
    // The placement is written back unchanged.
    EXPECT_EQ(settings().read(kApp, kOptions, kMainLeft), "500");
    EXPECT_EQ(settings().read(kApp, kOptions, kMainWidth), std::to_string(first.width() * 15));
}

TEST_F(Window, AFirstStartShowsEveryStatusPanelAndTheReportColumns) {
    frmMain& w = start();
    EXPECT_GE(w.width(), 960);
    const auto p = path("many.hpi");
    std::vector<Member> members;
    for (int i = 0; i < 40; ++i) {
        members.push_back({"units\\unit" + std::to_string(i) + ".fbi", "x"});
    }
    writeArchive(p, members);
    w.OpenHPI(QString::fromStdString(p.string()));
    clickNode("units");
    QApplication::processEvents();
    // The everyday texts of the panels fit whole.
    w.statusPanel(1)->setText("Extracting archive...");
    for (int i : {1, 3, 4}) {
        QLabel* label = w.statusPanel(i);
        EXPECT_GE(label->contentsRect().width(),
                  label->fontMetrics().horizontalAdvance(label->text()))
            << i << " " << label->text().toStdString();
    }
    // Every report column shows without scrolling sideways.
    const QHeaderView* header = w.FileView->reportView()->header();
    int columns = 0;
    for (int i = 0; i < header->count(); ++i) {
        columns += header->isSectionHidden(i) ? 0 : header->sectionSize(i);
    }
    EXPECT_LE(columns, w.FileView->reportView()->viewport()->width());
    // A stored size is used as it is.
    closeWindow();
    settings().write(kApp, kOptions, kMainWidth, "6000");
    settings().write(kApp, kOptions, kMainHeight, "6000");
    EXPECT_EQ(start().size(), QSize(400, 400));
}

TEST_F(Window, TheSplitterResizesTreeAndListAndIsKept) {
    frmMain& w = start();
    auto* splitter = w.findChild<QWidget*>("TreeSplitter");
    ASSERT_NE(splitter, nullptr);
    const int tree = w.Tree->width();
    const int listLeft = w.FileView->x();
    EXPECT_EQ(splitter->x(), tree);
    EXPECT_EQ(splitter->cursor().shape(), Qt::SplitHCursor);
    const QPoint grip(splitter->width() / 2, splitter->height() / 2);
    QTest::mousePress(splitter, Qt::LeftButton, {}, grip);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, grip + QPoint(90, 0));
    EXPECT_NEAR(w.Tree->width(), tree + 90, 1);
    EXPECT_NEAR(w.FileView->x(), listLeft + 90, 1);
    EXPECT_EQ(w.findChild<QWidget*>("FileFilter")->x(), w.FileView->x());
    const std::string kept = settings().read(kApp, kOptions, kTreeWidth);
    EXPECT_NEAR(std::stol(kept), (tree + 90) * 15, 15);
    // The tree never takes the whole window, nor vanishes.
    QTest::mousePress(splitter, Qt::LeftButton, {}, grip);
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, grip - QPoint(5000, 0));
    EXPECT_EQ(w.Tree->width(), 900 / 15);
    closeWindow();
    settings().write(kApp, kOptions, kTreeWidth, kept);
    frmMain& again = start();
    EXPECT_NEAR(again.Tree->width(), tree + 90, 1);
}

TEST_F(Window, StatusPanelsCarryTheirTooltipsAndMenusTheirCaptions) {
    frmMain& w = start();
    const char* tips[] = {"Status",
                          "HPI File name",
                          "Total number in the HPI archive",
                          "Total number of file in the selected path",
                          "Selected path",
                          "Selected file name"};
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(w.statusPanel(i)->toolTip(), tips[i - 1]);
    }
    struct Entry {
        const char* name;
        const char* caption;
        QKeySequence key;
    };
    for (const Entry& e :
         {Entry{"mnuOuvrir", "&Open an HPI file", QKeySequence("Ctrl+O")},
          Entry{"Fermer", "&Close HPI file", QKeySequence("Ctrl+C")}, Entry{"Quitter", "&Exit", {}},
          Entry{"mnuExtract", "Extract selected file", QKeySequence("F5")},
          Entry{"mnuExtractPath", "Extract all files in this path", QKeySequence("F6")},
          Entry{"mnuExtractAll", "Extract entire HPI archive", QKeySequence("F7")},
          Entry{"mnuViewStausBar", "Show/Hide &Status Bar", {}},
          Entry{"mnuViewList", "View li&st", {}}}) {
        QAction* a = w.findChild<QAction*>(e.name);
        ASSERT_NE(a, nullptr) << e.name;
        EXPECT_EQ(a->text(), e.caption);
        EXPECT_EQ(a->shortcut(), e.key) << e.name;
        EXPECT_TRUE(a->isVisible()) << e.name;
    }
    // The archive writing commands show.
    EXPECT_TRUE(w.findChild<QAction*>("mnuModifierHPI")->isVisible());
    EXPECT_TRUE(w.findChild<QMenu*>("mnuUnits")->menuAction()->isVisible());
    QAction* open = w.Toolbar->findChild<QAction*>("Open");
    EXPECT_EQ(open->toolTip(), "Open an HPI archive...");
    EXPECT_TRUE(w.Toolbar->findChild<QAction*>("Save")->isVisible());
}

TEST_F(Window, ViewModesSwitchTheListAndAreRemembered) {
    frmMain& w = start();
    trigger("mnuViewLargeIcons");
    EXPECT_EQ(w.FileView->viewMode(), 0);
    EXPECT_EQ(w.FileView->currentView(), w.FileView->iconView());
    EXPECT_EQ(w.FileView->iconView()->viewMode(), QListView::IconMode);
    EXPECT_TRUE(w.ToolbarView->findChild<QAction*>("ViewLargeIcons")->isChecked());
    EXPECT_FALSE(w.findChild<QAction*>("mnuViewDetails")->isChecked());
    EXPECT_EQ(settings().read(kApp, kOptions, kViewType), "0");
    w.ToolbarView->findChild<QAction*>("ViewList")->trigger();
    EXPECT_EQ(w.FileView->viewMode(), 2);
    EXPECT_TRUE(w.findChild<QAction*>("mnuViewList")->isChecked());
    EXPECT_EQ(w.FileView->iconView()->flow(), QListView::TopToBottom);
    w.ToolbarView->findChild<QAction*>("ViewSmall")->trigger();
    EXPECT_EQ(settings().read(kApp, kOptions, kViewType), "1");
    // The selected entry stays selected across the modes.
    const auto p = path("v.hpi");
    writeArchive(p, {{"a.txt", "1"}, {"b.txt", "2"}});
    w.OpenHPI(QString::fromStdString(p.string()));
    clickNode("Root");
    clickEntry("b.txt");
    EXPECT_EQ(w.FileView->selectedRow(), 1);
    trigger("mnuViewDetails");
    EXPECT_EQ(w.FileView->selectedRow(), 1);
    trigger("mnuViewSmallIcons");
    EXPECT_EQ(w.FileView->selectedRow(), 1);
    closeWindow();
    frmMain& again = start();
    EXPECT_EQ(again.FileView->viewMode(), 1);
    EXPECT_TRUE(again.findChild<QAction*>("mnuViewSmallIcons")->isChecked());
}

TEST_F(Window, HidingTheBarsIsWrittenAndRestoredAndLaysTheWindowOut) {
    frmMain& w = start();
    const int listTop = w.FileView->y();
    const int treeHeight = w.Tree->height();
    trigger("mnuViewToolBar");
    EXPECT_FALSE(w.CoolBar->isVisible());
    EXPECT_FALSE(w.findChild<QAction*>("mnuViewToolBar")->isChecked());
    // The find box comes first, the list under it.
    const QWidget* find = w.findChild<QLineEdit*>("FileFilter");
    EXPECT_EQ(find->y(), 50 / 15);
    EXPECT_GT(w.FileView->y(), find->y() + find->height() - 1);
    EXPECT_LT(w.FileView->y(), listTop);
    EXPECT_EQ(settings().read(kApp, kOptions, kToolbarWritten), "False");
    trigger("mnuViewStausBar");
    EXPECT_FALSE(w.Status->isVisible());
    EXPECT_EQ(settings().read(kApp, kOptions, kStatusBar), "False");
    EXPECT_GT(w.Tree->height(), treeHeight);
    // Tree height: client height minus its top, 50 and no status reserve.
    EXPECT_EQ(w.Tree->height(), (w.centralWidget()->height() * 15 - 50 - 50) / 15);
    EXPECT_EQ(w.FileView->x(), (3000 + 50) / 15);
    closeWindow();
    // Written as "Show/Hide ToolBar", read as "Show/Hide Toolbar".
    frmMain& again = start();
    EXPECT_FALSE(again.CoolBar->isVisible());
    EXPECT_FALSE(again.Status->isVisible());
    EXPECT_FALSE(again.findChild<QAction*>("mnuViewStausBar")->isChecked());
}

TEST_F(Window, NegativeLeftAndTopMaximiseOneNegativeValuePlaces) {
    settings().write(kApp, kOptions, kMainLeft, "-60");
    settings().write(kApp, kOptions, kMainTop, "-60");
    frmMain& w = start();
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    closeWindow();
    EXPECT_EQ(settings().read(kApp, kOptions, kMainLeft), "-60");
    settings().write(kApp, kOptions, kMainTop, "200");
    settings().write(kApp, kOptions, kMainWidth, "9000");
    frmMain& placed = start();
    EXPECT_FALSE(placed.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(placed.pos(), QPoint(-4, 13));
    EXPECT_EQ(placed.width(), 600);
}

TEST_F(Window, TakesTheFirstFreeSlotAndStopsWhenAllTenAreTaken) {
    // temp1 is owned by a running instance; temp2 was left by one that is
    // gone, and is taken over.
    auto running = ClaimWorkingDirectory(home());
    ASSERT_TRUE(running);
    fs::create_directories(home() / "temp2" / "left");
    frmMain& w = start();
    EXPECT_EQ(w.workingDirectory(), QString::fromStdString((home() / "temp2").string()) + "/");
    EXPECT_FALSE(fs::exists(home() / "temp2" / "left"));
    closeWindow();
    EXPECT_TRUE(fs::exists(home() / "temp1")); // another instance's slot is left alone
    EXPECT_FALSE(fs::exists(home() / "temp2"));
    std::vector<WorkingDirectorySlot> others;
    for (int n = 2; n <= 10; ++n) {
        others.push_back(std::move(*ClaimWorkingDirectory(home())));
    }
    testsupport::writeFile(home() / "temp5" / "keep", "x");
    auto window = std::make_unique<frmMain>();
    EXPECT_FALSE(window->startUp({}));
    window.reset();
    ASSERT_EQ((*dialogs_)->calls.size(), 1u);
    const auto& call = (*dialogs_)->calls[0];
    EXPECT_EQ(call.text, "You can't run more than 10 Crateward at the same time...sorry. Close one "
                         "and retry.");
    EXPECT_EQ(call.title, "");
    EXPECT_EQ(call.icon, common::MessageIcon::Information);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_TRUE(fs::exists(home() / ("temp" + std::to_string(n)))) << n;
    }
    EXPECT_TRUE(fs::exists(home() / "temp5" / "keep"));
}

TEST_F(Window, TheCommandLineIsOnePathOpenedWhenItIsAFile) {
    const auto spaced = path("with space.hpi");
    writeArchive(spaced, {{"a.txt", "x"}});
    frmMain& w = start(QString::fromStdString(spaced.string()));
    EXPECT_NE(w.archiveHandle(), 0);
    EXPECT_EQ(panel(2), QString::fromStdString(spaced.string()));
    closeWindow();
    frmMain& quoted = start("\"" + QString::fromStdString(spaced.string()) + "\"");
    EXPECT_EQ(quoted.archiveHandle(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Window, ATerminationSignalClosesTheWindowAndRemovesItsDirectory) {
    frmMain& w = start();
    const std::string work = w.workingDirectory().toStdString();
    ASSERT_TRUE(fs::exists(work));
    bool closed = false;
    SignalBridge bridge([&] {
        w.close();
        closed = true;
    });
    ::raise(SIGTERM);
    QTRY_VERIFY_WITH_TIMEOUT(closed, 5000);
    EXPECT_FALSE(fs::exists(work));
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Window, ThePreviewPanesTakeTheirPlaceUnderTheTree) {
    frmMain& w = start();
    const int fullTree = w.Tree->height();
    w.visualisateur->show();
    w.Form_Resize();
    EXPECT_LT(w.Tree->height(), fullTree);
    EXPECT_NEAR(w.visualisateur->y(), w.Tree->y() + w.Tree->height() + 50 / 15, 1);
    EXPECT_EQ(w.visualisateur->width(), w.Tree->width());
}

} // namespace
} // namespace crateward::testing

namespace crateward::testing {
namespace {

// The real program: started on an archive, ended with SIGTERM, it shuts down
// as if its window were closed and removes its working directory.
TEST_F(Window, TheProgramShutsDownOnSigterm) {
    const auto archive = path("p.hpi");
    writeArchive(archive, {{"a.txt", "x"}});
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        execl(CRATEWARD_PROGRAM, CRATEWARD_PROGRAM, archive.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const fs::path work = home() / "temp1";
    for (int i = 0; i < 200 && !fs::exists(work); ++i) {
        QTest::qWait(25);
    }
    ASSERT_TRUE(fs::exists(work));
    QTest::qWait(200); // let the event loop start
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    for (int i = 0; i < 400 && waitpid(pid, &status, WNOHANG) == 0; ++i) {
        QTest::qWait(25);
    }
    EXPECT_TRUE(WIFEXITED(status)) << "the program did not end by itself";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(work));
    EXPECT_FALSE(settings().read(kApp, kOptions, kMainWidth).empty()); // the shut-down ran
    if (!WIFEXITED(status)) {
        ::kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
}

} // namespace
} // namespace crateward::testing
