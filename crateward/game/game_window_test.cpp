// The game window driven through its controls: the merged tree and list,
// the filter, the shadow marks, the sources tab, opening the providing
// archive in the main window, and the kept placement.
#include "gui_harness.hpp"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "game_folder_window.hpp"

namespace crateward::testing {
namespace {

class GameWindowTest : public WindowTest {
protected:
    // A game folder: an add-on shadowing a stock archive, a member three
    // folders deep, a broken archive.
    std::filesystem::path makeGame() {
        const auto game = path("game");
        std::filesystem::create_directories(game);
        writeArchive(game / "mymod.ufo", {{"units\\ARMCOM.FBI", "modded"},
                                          {"objects3d\\arm\\parts\\deep\\armcom_leg.3do", "leg"}});
        writeArchive(game / "totala.hpi", {{"units\\armcom.fbi", "stock commander"},
                                           {"units\\armpw.fbi", "peewee"},
                                           {"sounds\\boom.wav", "RIFF"}});
        testsupport::writeFile(game / "broken.ccx", std::string_view("not an archive"));
        return game;
    }

    GameFolderWindow* openGame(frmMain& main, const std::filesystem::path& game) {
        (*dialogs_)->queueText(QString::fromStdString(game.string()));
        trigger("mnuOpenGameFolder");
        auto* window = main.findChild<GameFolderWindow*>(QStringLiteral("GameFolderWindow"));
        if (window) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        return window;
    }

    static QTreeWidgetItem* row(QTreeWidget* list, const QString& name) {
        auto found = list->findItems(name, Qt::MatchExactly, GameFolderWindow::ColName);
        return found.isEmpty() ? nullptr : found.front();
    }

    static void doubleClick(QTreeWidget* list, QTreeWidgetItem* item) {
        list->scrollToItem(item);
        const QPoint at = list->visualItemRect(item).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(GameWindowTest, FilterFindsADeepMemberAndADoubleClickOpensItsArchive) {
    frmMain& main = start();
    const auto game = makeGame();
    GameFolderWindow* w = openGame(main, game);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(main.archiveHandle(), 0); // the main window's state is untouched

    w->Filter->setFocus();
    QTest::keyClicks(w->Filter, QStringLiteral("ARMCOM*"));
    QStringList names;
    for (int i = 0; i < w->List->topLevelItemCount(); ++i) {
        names << w->List->topLevelItem(i)->text(GameFolderWindow::ColName);
    }
    names.sort();
    EXPECT_EQ(names,
              (QStringList{"objects3d\\arm\\parts\\deep\\armcom_leg.3do", "units\\ARMCOM.FBI"}));
    w->Filter->clear();
    QTest::keyClicks(w->Filter, QStringLiteral("leg.3"));
    ASSERT_EQ(w->List->topLevelItemCount(), 1);

    // A double-click opens the providing archive with the entry selected.
    doubleClick(w->List, w->List->topLevelItem(0));
    EXPECT_EQ(main.archivePath(), QString::fromStdString((game / "mymod.ufo").string()));
    const int selected = main.FileView->selectedRow();
    ASSERT_GE(selected, 0);
    EXPECT_EQ(main.FileView->model()->entry(selected).name, QStringLiteral("armcom_leg.3do"));
}

TEST_F(GameWindowTest, TheListMarksShadowingEntriesAndOpenInArchiveUsesTheProvider) {
    frmMain& main = start();
    const auto game = makeGame();
    GameFolderWindow* w = openGame(main, game);
    ASSERT_NE(w, nullptr);
    auto units = w->Tree->findItems(QStringLiteral("units"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(units.size(), 1);
    w->Tree->setCurrentItem(units.front());
    QTreeWidgetItem* commander = row(w->List, QStringLiteral("ARMCOM.FBI"));
    ASSERT_NE(commander, nullptr);
    EXPECT_EQ(commander->text(GameFolderWindow::ColArchive),
              QStringLiteral("mymod.ufo  [shadows 1]"));
    EXPECT_TRUE(commander->toolTip(GameFolderWindow::ColName).contains("totala.hpi (15 bytes)"));
    EXPECT_EQ(commander->text(GameFolderWindow::ColSize), QStringLiteral("6"));
    QTreeWidgetItem* peewee = row(w->List, QStringLiteral("armpw.fbi"));
    ASSERT_NE(peewee, nullptr);
    EXPECT_EQ(peewee->text(GameFolderWindow::ColArchive), QStringLiteral("totala.hpi"));

    w->List->setCurrentItem(peewee);
    QTest::mouseClick(w->cmdOpenInArchive, Qt::LeftButton);
    EXPECT_EQ(main.archivePath(), QString::fromStdString((game / "totala.hpi").string()));
    EXPECT_EQ(main.FileView->model()->entry(main.FileView->selectedRow()).name,
              QStringLiteral("armpw.fbi"));

    // Extract writes the providing copy below the chosen folder.
    w->List->setCurrentItem(row(w->List, QStringLiteral("ARMCOM.FBI")));
    (*dialogs_)->queueText(QString::fromStdString(path("out").string()));
    std::filesystem::create_directories(path("out"));
    QTest::mouseClick(w->cmdExtract, Qt::LeftButton);
    auto bytes = testsupport::readFile(path("out") / "units" / "ARMCOM.FBI");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "modded");
}

TEST_F(GameWindowTest, SourcesTabAndPlacement) {
    frmMain& main = start();
    GameFolderWindow* w = openGame(main, makeGame());
    ASSERT_NE(w, nullptr);
    w->Tabs->setCurrentIndex(1);
    ASSERT_EQ(w->Sources->topLevelItemCount(), 4);
    QStringList order;
    for (int i = 0; i < 4; ++i) {
        order << w->Sources->topLevelItem(i)->text(1);
    }
    EXPECT_EQ(order, (QStringList{"(loose files)", "broken.ccx", "mymod.ufo", "totala.hpi"}));
    EXPECT_TRUE(w->Sources->topLevelItem(1)->text(4).startsWith("Skipped: "));
    EXPECT_EQ(w->Sources->topLevelItem(2)->text(3), QStringLiteral("2"));

    w->move(150, 120);
    w->resize(700, 500);
    w->close();
    QApplication::processEvents();
    EXPECT_EQ(settings().readNumber("Crateward", "Game folder", "Game Width", 0), 700 * 15);
    // A folder that cannot be listed: a message, no window.
    (*dialogs_)->queueText(QString::fromStdString(path("missing").string()));
    trigger("mnuOpenGameFolder");
    EXPECT_EQ(messages().size(), 1);
}

} // namespace
} // namespace crateward::testing
