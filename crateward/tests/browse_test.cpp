// Opening archives, the tree and the list, sorting, pop-ups and the recent
// archives, driven through the real main window.
#include <algorithm>

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QThread>
#include <QTreeView>
#include <QTreeWidget>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "gui_harness.hpp"
#include "image_list.hpp"
#include "settings_keys.hpp"

namespace crateward::testing {
namespace {

const std::vector<Member> kUnits = {
    {"readme.txt", "hello"},
    {"units\\armcom.fbi", "[UNITINFO]"},
    {"units\\sounds\\boom.wav", "RIFF...."},
    {"units\\sounds\\deep\\x.3do", "3do"},
    {"units\\maps\\m.tnt", "t"},
    {"units\\anims\\a.gaf", "gaf"},
    {"units\\Makefile", "m"},
    {"empty", "", true},
};

class Browse : public WindowTest {
protected:
    QString archive() {
        const auto p = path("units.hpi");
        if (!std::filesystem::exists(p)) {
            writeArchive(p, kUnits);
        }
        return QString::fromStdString(p.string());
    }
};

TEST_F(Browse, OpeningBuildsTheTreeTheStatusAndTheRootsList) {
    frmMain& w = start();
    const QString file = archive();
    w.OpenHPI(file);
    ASSERT_NE(w.archiveHandle(), 0);
    QTreeWidgetItem* root = node("Root");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text(0), file);
    EXPECT_TRUE(root->isExpanded());
    EXPECT_EQ(w.Tree->currentItem(), root);
    ASSERT_NE(node("units\\sounds\\deep"), nullptr);
    EXPECT_EQ(node("units\\sounds\\deep")->text(0), "deep");
    EXPECT_EQ(node("units\\sounds\\deep")->parent(), node("units\\sounds"));
    EXPECT_EQ(node("units")->parent(), root);
    EXPECT_FALSE(node("units")->isExpanded());
    EXPECT_EQ(root->childCount(), 2); // empty, units
    EXPECT_EQ(root->icon(0).cacheKey(), ImageListIcon(9).cacheKey());
    EXPECT_EQ(node("units")->icon(0).cacheKey(), ImageListIcon(1).cacheKey());
    EXPECT_EQ(panel(1), "Ready");
    EXPECT_EQ(panel(2), file);
    EXPECT_EQ(panel(3), "7 files in HPI");
    EXPECT_EQ(w.windowTitle(), "Crateward  -  " + file);
    // The root's entries show at once, without a click.
    EXPECT_GT(w.FileView->model()->count(), 0);
    EXPECT_EQ(panel(5), "");
    EXPECT_TRUE(w.findChild<QMenu*>("mnuHPIArchive")->menuAction()->isEnabled());
    EXPECT_TRUE(w.findChild<QAction*>("Fermer")->isEnabled());
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Browse, TheCommandLineArchiveOpenedAheadShowsAsOneOpenedAtStartUp) {
    const QString file = archive();
    const std::string disk = file.toStdString();
    // Listed before start-up asks: the window is drawn once, with the
    // archive, and draws again afterwards.
    auto ahead = std::make_unique<ArchivePreload>(disk);
    for (int i = 0; i < 500 && !ahead->listed(); ++i) {
        QThread::msleep(2);
    }
    ASSERT_TRUE(ahead->listed());
    frmMain& w = start(file, std::move(ahead));
    ASSERT_NE(w.archiveHandle(), 0);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.updatesEnabled());
    ASSERT_NE(node("units\\sounds\\deep"), nullptr);
    EXPECT_EQ(node("units\\sounds\\deep")->parent(), node("units\\sounds"));
    EXPECT_EQ(node("Root")->childCount(), 2);
    EXPECT_EQ(panel(3), "7 files in HPI");
    EXPECT_GT(w.FileView->model()->count(), 0);
    // The archive stays readable through the handle the window took.
    clickNode("units");
    EXPECT_EQ(panel(4), "2 files in this path");
    closeWindow();

    // A preload of another file gives way to the archive start-up names.
    const auto other = path("other.hpi");
    writeArchive(other, {{"lone.txt", "x"}});
    frmMain& again = start(file, std::make_unique<ArchivePreload>(other.string()));
    EXPECT_EQ(panel(3), "7 files in HPI");
    EXPECT_NE(node("units"), nullptr);
    EXPECT_EQ(again.archivePath(), file);
}

TEST_F(Browse, NodeClicksListEntriesWithTypesSizesAndIcons) {
    frmMain& w = start();
    w.OpenHPI(archive());
    clickNode("units");
    EXPECT_EQ(listColumn(0), QStringList({"anims", "armcom.fbi", "Makefile", "maps", "sounds"}));
    EXPECT_EQ(listColumn(1),
              QStringList({"Directory", "FBI File", " File", "Directory", "Directory"}));
    EXPECT_EQ(listColumn(2), QStringList({"", "10", "1", "", ""}));
    EXPECT_EQ(panel(4), "2 files in this path");
    EXPECT_EQ(panel(5), "units\\");
    clickNode("units\\sounds\\deep");
    EXPECT_EQ(panel(5), "units\\sounds\\deep\\");
    EXPECT_EQ(listColumn(1), QStringList({"3DO File"}));
    EXPECT_EQ(w.FileView->model()->entry(0).icon, 7);
    clickNode("Root");
    EXPECT_EQ(panel(5), "");
    EXPECT_EQ(listColumn(0), QStringList({"empty", "readme.txt", "units"}));
    EXPECT_EQ(panel(4), "1 files in this path");
    // The icon rule: no "." 1, TNT 3, WAV 4, 3DO 7, GAF 8, other 2.
    for (const auto& [name, icon] : std::vector<std::pair<QString, int>>{
             {"x.tnt", 3}, {"X.WAV", 4}, {"a.3do", 7}, {"b.Gaf", 8}, {"c.txt", 2}, {"none", 1}}) {
        EXPECT_EQ(FileViewModel::makeEntry(name, false, 1).icon, icon) << name.toStdString();
    }
}

TEST_F(Browse, ARootOfOnlyFilesShowsRootAloneAndCountsThem) {
    const auto p = path("flat.hpi");
    writeArchive(p, {{"a.txt", "1"}, {"b.txt", "22"}, {"c.txt", "333"}});
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(p.string()));
    EXPECT_EQ(w.Tree->topLevelItemCount(), 1);
    EXPECT_EQ(node("Root")->childCount(), 0);
    EXPECT_EQ(panel(3), "3 files in HPI");
    clickNode("Root");
    EXPECT_EQ(listColumn(0), QStringList({"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(listColumn(2), QStringList({"1", "2", "3"}));
}

TEST_F(Browse, ColumnHeadersSortByTheirTextAndKeepLaterFillsSorted) {
    frmMain& w = start();
    w.OpenHPI(archive());
    clickNode("units");
    auto* header = w.FileView->reportView()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    EXPECT_EQ(listColumn(1).first(), " File");
    EXPECT_EQ(listColumn(1).last(), "FBI File");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    EXPECT_EQ(listColumn(0), QStringList({"anims", "armcom.fbi", "Makefile", "maps", "sounds"}));
    clickNode("Root");
    EXPECT_EQ(listColumn(0), QStringList({"empty", "readme.txt", "units"}));
}

TEST_F(Browse, SizesSortAsNumbersAndASecondClickReversesWithTheIndicator) {
    const auto p = path("sizes.hpi");
    writeArchive(p, {{"nine.txt", std::string(9, 'x')},
                     {"hundred.txt", std::string(100, 'x')},
                     {"ten.txt", std::string(10, 'x')},
                     {"folder\\inner.txt", "i"}});
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(p.string()));
    clickNode("Root");
    auto* header = w.FileView->reportView()->header();
    const auto clickHeader = [&](int column) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    clickHeader(2);
    EXPECT_EQ(listColumn(0), QStringList({"folder", "nine.txt", "ten.txt", "hundred.txt"}));
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickHeader(2);
    EXPECT_EQ(listColumn(0), QStringList({"hundred.txt", "ten.txt", "nine.txt", "folder"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // The reversed order holds for the next folder shown and across a view
    // mode change; another column starts ascending again.
    clickNode("folder");
    clickNode("Root");
    w.findChild<QAction*>("mnuViewList")->trigger();
    w.findChild<QAction*>("mnuViewDetails")->trigger();
    EXPECT_EQ(listColumn(0).first(), "hundred.txt");
    EXPECT_EQ(header->sortIndicatorSection(), 2);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(0);
    EXPECT_EQ(listColumn(0), QStringList({"folder", "hundred.txt", "nine.txt", "ten.txt"}));
    EXPECT_EQ(header->sortIndicatorSection(), 0);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
}

TEST_F(Browse, DoubleClickOnADirectoryEntrySelectsItsNestedNode) {
    frmMain& w = start();
    w.OpenHPI(archive());
    clickNode("units");
    doubleClickEntry("sounds");
    EXPECT_EQ(w.Tree->currentItem(), node("units\\sounds"));
    EXPECT_EQ(panel(5), "units\\sounds\\");
    doubleClickEntry("deep");
    EXPECT_EQ(w.Tree->currentItem(), node("units\\sounds\\deep"));
    EXPECT_TRUE(node("units\\sounds")->isExpanded());
    EXPECT_EQ(listColumn(0), QStringList({"x.3do"}));
    EXPECT_EQ(panel(4), "1 files in this path");
}

TEST_F(Browse, RightClicksShowThePopupsAndTheListFollowsTheTreesNode) {
    frmMain& w = start();
    w.OpenHPI(archive());
    clickNode("Root");
    const QStringList before = listColumn(0);
    clickNode("units", Qt::RightButton);
    EXPECT_TRUE(w.treePopupMenu->isVisible());
    // The node right-clicked is the one the commands use: the list shows it.
    EXPECT_EQ(w.GetTreeKey(), "units\\");
    EXPECT_NE(listColumn(0), before);
    EXPECT_EQ(panel(5), "units\\");
    w.treePopupMenu->close();
    EXPECT_EQ(w.lastMouseButton(), 2);
    clickNode("Root");
    clickEntry("readme.txt", Qt::RightButton);
    EXPECT_TRUE(w.FileViewPopupMenu->isVisible());
    EXPECT_EQ(w.lastMouseButton(), 0);
    EXPECT_EQ(panel(6), "readme.txt");
    w.FileViewPopupMenu->close();
    clickEntry("units");
    EXPECT_FALSE(w.FileViewPopupMenu->isVisible());
    EXPECT_EQ(panel(6), "units");
    // The pop-ups show only entries that do something.
    QStringList shown;
    for (QAction* a : w.FileViewPopupMenu->actions()) {
        if (a->isVisible()) {
            shown << a->text();
        }
    }
    EXPECT_EQ(shown,
              QStringList({"View as &text", "Hex dump", "&Extract",
                           "Extract &all files in this path", "Extract &entire HPI archive"}));
}

TEST_F(Browse, RootNamesHoldingABackslashAreCountedButNotShown) {
    const auto p = path("odd.hpi");
    writeArchive(p, {{"PPP", "x"}, {"plain.txt", "y"}});
    auto bytes = testsupport::readFile(p);
    const std::string from = "PPP";
    auto it = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    ASSERT_NE(it, bytes.end());
    it[1] = '\\';
    testsupport::writeFile(p, bytes);
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(p.string()));
    ASSERT_NE(w.archiveHandle(), 0);
    clickNode("Root");
    EXPECT_EQ(listColumn(0), QStringList({"plain.txt"}));
    EXPECT_EQ(panel(4), "2 files in this path");
}

TEST_F(Browse, TheExpandMarkOpensANodeWithoutClickingIt) {
    frmMain& w = start();
    w.OpenHPI(archive());
    clickNode("Root");
    const QRect rect = w.Tree->visualItemRect(node("units"));
    QTest::mouseClick(w.Tree->viewport(), Qt::LeftButton, {},
                      QPoint(rect.left() - 8, rect.center().y()));
    EXPECT_TRUE(node("units")->isExpanded());
    EXPECT_EQ(panel(5), ""); // the list still shows the root
}

TEST_F(Browse, ExpandAllAndCollapseAllKeepTheRootOpen) {
    frmMain& w = start();
    w.OpenHPI(archive());
    w.findChild<QAction*>("mnuExpand")->trigger();
    EXPECT_TRUE(node("units\\sounds")->isExpanded());
    w.findChild<QAction*>("mnuCollapse")->trigger();
    EXPECT_TRUE(node("Root")->isExpanded());
    EXPECT_FALSE(node("units")->isExpanded());
    EXPECT_FALSE(node("units\\sounds")->isExpanded());
}

TEST_F(Browse, NotAnArchiveIsReportedAndStillLandsInTheRecentList) {
    const auto bogus = path("bogus.hpi");
    testsupport::writeFile(bogus, "not an archive at all");
    frmMain& w = start();
    w.OpenHPI(archive());
    (*dialogs_)->queueText(QString::fromStdString(bogus.string()));
    trigger("mnuOuvrir");
    ASSERT_EQ((*dialogs_)->calls.size(), 2u);
    const common::DialogCall& open = (*dialogs_)->calls[0];
    EXPECT_EQ(open.kind, "openFile");
    EXPECT_EQ(open.title, "Select an HPI archive...");
    EXPECT_EQ(open.filter, "HPI archive|*.hpi;*.ccx;*.ufo;*.gp?");
    EXPECT_EQ(open.start, QString::fromStdString(path("ta").string()) + "/");
    const common::DialogCall& error = (*dialogs_)->calls[1];
    EXPECT_EQ(error.text, "It's not a valid HPI archive !");
    EXPECT_EQ(error.title, "Error oppening file !");
    EXPECT_EQ(error.icon, common::MessageIcon::Critical);
    EXPECT_EQ(w.archiveHandle(), 0); // the previous archive is closed
    EXPECT_EQ(w.Tree->topLevelItemCount(), 0);
    EXPECT_EQ(w.windowTitle(), "Crateward");
    EXPECT_EQ(settings().read(kApp, kRecent, "1"), bogus.string());
    EXPECT_FALSE(w.findChild<QAction*>("Fermer")->isEnabled());
}

TEST_F(Browse, RecentArchivesShiftDownKeepDuplicatesAndReopen) {
    frmMain& w = start();
    const QString file = archive();
    for (int i = 0; i < 2; ++i) {
        (*dialogs_)->queueText(file);
        trigger("mnuOuvrir");
    }
    EXPECT_EQ(settings().read(kApp, kRecent, "1"), file.toStdString());
    EXPECT_EQ(settings().read(kApp, kRecent, "2"), file.toStdString());
    auto entries = w.findChildren<QAction*>("mnuLastOpened");
    QStringList captions;
    for (QAction* a : entries) {
        if (a->data().toInt() > 0 && a->isVisible()) {
            captions << a->property("Caption").toString();
        }
    }
    EXPECT_EQ(captions, QStringList({file, file}));
    // Ten more opens push the oldest out.
    for (int i = 0; i < 10; ++i) {
        w.AddRecentArchive(QStringLiteral("/gone/%1.hpi").arg(i));
    }
    w.Load_LastHPI();
    EXPECT_EQ(settings().read(kApp, kRecent, "1"), "/gone/9.hpi");
    EXPECT_EQ(settings().read(kApp, kRecent, "10"), "/gone/0.hpi");
    // A recent entry whose file is gone closes the open archive and stops.
    w.OpenHPI(file);
    for (QAction* a : w.findChildren<QAction*>("mnuLastOpened")) {
        if (a->data().toInt() == 1) {
            a->trigger();
            break;
        }
    }
    EXPECT_EQ(w.archiveHandle(), 0);
    EXPECT_TRUE(messages().isEmpty());
    // A missing path opens nothing, silently.
    w.OpenHPI(QString::fromStdString(path("missing.hpi").string()));
    EXPECT_EQ(w.archiveHandle(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Browse, ClosingEmptiesEverything) {
    frmMain& w = start();
    w.OpenHPI(archive());
    clickNode("units");
    trigger("Fermer");
    EXPECT_EQ(w.archiveHandle(), 0);
    EXPECT_EQ(w.Tree->topLevelItemCount(), 0);
    EXPECT_EQ(w.FileView->model()->count(), 0);
    for (int i = 1; i <= 6; ++i) {
        EXPECT_EQ(panel(i), "") << i;
    }
    EXPECT_EQ(w.windowTitle(), "Crateward");
    EXPECT_FALSE(w.findChild<QMenu*>("mnuHPIArchive")->menuAction()->isEnabled());
    EXPECT_FALSE(w.findChild<QMenu*>("mnuSaveModif")->menuAction()->isEnabled());
    EXPECT_TRUE(w.findChild<QAction*>("mnuExtract")->isEnabled());
    // Clicks on the empty tree and list do nothing.
    QTest::mouseClick(w.Tree->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(w.FileView->model()->count(), 0);
}

TEST_F(Browse, MoreThan32767FilesShow32767) {
    std::vector<Member> many;
    for (int i = 0; i < 33000; ++i) {
        many.push_back({"d" + std::to_string(i / 1000) + "\\f" + std::to_string(i), ""});
    }
    const auto p = path("many.hpi");
    writeArchive(p, many);
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(p.string()));
    EXPECT_EQ(panel(3), "32767 files in HPI");
    clickNode("d5");
    EXPECT_EQ(panel(4), "1000 files in this path");
}

TEST_F(Browse, RealArchivesOpenWithEveryMember) {
    TOOLKIT_REQUIRE_REAL("archives/ArmSLab.ufo", slab);
    TOOLKIT_REQUIRE_REAL("archives/ArmImp.ufo", imp);
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(slab.string()));
    EXPECT_EQ(panel(3), "12 files in HPI");
    ASSERT_NE(node("units"), nullptr);
    clickNode("units");
    EXPECT_EQ(listColumn(1), QStringList({"FBI File"}));
    clickNode("anims");
    EXPECT_EQ(listColumn(2), QStringList({"13382", "12440"})); // stored order
    EXPECT_EQ(w.FileView->model()->entry(0).icon, 8);
    clickNode("features\\corpses");
    EXPECT_EQ(listColumn(0), QStringList({"ARMSLAB_dead.tdf"}));
    w.OpenHPI(QString::fromStdString(imp.string()));
    EXPECT_EQ(panel(3), "1 files in HPI");
    EXPECT_TRUE(messages().isEmpty());
}

} // namespace
} // namespace crateward::testing

namespace crateward::testing {
namespace {

TEST(FileViewModelTest, SkipsDuplicateKeysWithoutRegardToCaseAndSortsByText) {
    ensureApplication();
    FileViewModel model;
    model.beginFill();
    EXPECT_TRUE(model.addEntry("b.txt", false, 10));
    EXPECT_TRUE(model.addEntry("A.TXT", false, 9));
    EXPECT_FALSE(model.addEntry("B.TXT", false, 1));
    EXPECT_FALSE(model.addEntry("", false, 1));
    for (int i = 0; i < 300; ++i) { // grows the key table past its first size
        EXPECT_TRUE(model.addEntry("f" + std::to_string(i), true, 0));
    }
    EXPECT_FALSE(model.addEntry("F299", false, 0));
    model.endFill();
    EXPECT_EQ(model.count(), 302);
    EXPECT_EQ(model.entry(0).name, "b.txt");
    EXPECT_EQ(model.entry(0).size, "10");
    EXPECT_EQ(model.entry(2).type, "Directory");
    EXPECT_EQ(model.entry(2).size, "");
    model.sortByColumn(2); // sizes as numbers, folders below the files
    EXPECT_EQ(model.entry(300).name, "A.TXT");
    EXPECT_EQ(model.entry(301).name, "b.txt");
    model.sortByColumn(2, Qt::DescendingOrder);
    EXPECT_EQ(model.entry(0).name, "b.txt");
    EXPECT_EQ(model.entry(1).name, "A.TXT");
    model.sortByColumn(0);
    EXPECT_EQ(model.entry(0).name, "A.TXT");
    EXPECT_EQ(model.rowOf("b.txt"), 1);
    EXPECT_EQ(model.flags(model.index(0, 0)) & Qt::ItemIsEditable, 0);
}

} // namespace
} // namespace crateward::testing
