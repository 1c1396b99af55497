// The unit check through the main window: "Units > Check unit" on a
// selected definition, the lines and their states, the game folder after
// the open archive, a double-click opening the member through the preview,
// "Copy report", the kept placement, and the unit repack's option to
// gather everything the check finds.
#include "gui_harness.hpp"
#include "packing_harness.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_txt.hpp"
#include "preview_dispatch.hpp"
#include "unit_check_window.hpp"
#include "unit_fixture.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

class UnitCheckTest : public WindowTest {
protected:
    frmMain& openArchive(const unitfixture::Members& members) {
        EXPECT_TRUE(unitfixture::writeArchive(path("mod.ufo"), members));
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(path("mod.ufo").string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }

    UnitCheckWindow* checkUnit(frmMain& main, const QString& definition) {
        clickNode(QStringLiteral("units"));
        clickEntry(definition);
        trigger("mnuCheckUnit");
        auto* window = main.findChild<UnitCheckWindow*>(QStringLiteral("UnitCheckWindow"));
        if (window) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        }
        return window;
    }

    // The first line whose name is `name` (and whose kind starts with
    // `kind` when given).
    static int line(const UnitCheckWindow& w, const QString& name, const QString& kind = {}) {
        const auto& lines = w.check().lines;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].name.compare(name, Qt::CaseInsensitive) == 0 &&
                lines[i].kind.startsWith(kind)) {
                return int(i);
            }
        }
        ADD_FAILURE() << "no line " << name.toStdString();
        return -1;
    }

    static QTreeWidgetItem* item(const UnitCheckWindow& w, int line) {
        for (QTreeWidgetItemIterator it(w.Tree); *it; ++it) {
            if (UnitCheckWindow::lineOf(*it) == line) {
                return *it;
            }
        }
        return nullptr;
    }

    static void doubleClick(QTreeWidget* tree, QTreeWidgetItem* item) {
        tree->scrollToItem(item);
        const QPoint at = tree->visualItemRect(item).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(UnitCheckTest, ACompleteUnitIsAllFoundInTheArchiveAndTheReportGoesToTheClipboard) {
    unitfixture::Members members;
    unitfixture::addUnit(members, "ARMTEST");
    frmMain& main = openArchive(members);
    UnitCheckWindow* w = checkUnit(main, QStringLiteral("ARMTEST.fbi"));
    ASSERT_NE(w, nullptr);
    const UnitCheckView& view = w->check();
    ASSERT_TRUE(view.error.isEmpty()) << view.error.toStdString();
    EXPECT_EQ(view.missing, 0);
    EXPECT_EQ(view.unit, QStringLiteral("ARMTEST"));
    // One tree: the definition, everything it needs below it.
    ASSERT_EQ(w->Tree->topLevelItemCount(), 1);
    EXPECT_EQ(int(view.lines.size()), [&] {
        int n = 0;
        for (QTreeWidgetItemIterator it(w->Tree); *it; ++it) {
            ++n;
        }
        return n;
    }());
    for (const DependencyLine& l : view.lines) {
        EXPECT_NE(l.state, DependencyState::Error)
            << l.kind.toStdString() << " " << l.name.toStdString();
    }
    // Every file of the unit is a line provided by the open archive.
    const QStringList found = view.membersInArchive();
    for (const auto& [member, content] : members) {
        EXPECT_TRUE(found.contains(QString::fromStdString(member), Qt::CaseInsensitive)) << member;
    }
    const int script = line(*w, QStringLiteral("ARMTEST"), QStringLiteral("script"));
    ASSERT_GE(script, 0);
    QTreeWidgetItem* row = item(*w, script);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->text(UnitCheckWindow::ColState), QStringLiteral("found"));
    EXPECT_EQ(row->text(UnitCheckWindow::ColSource), QStringLiteral("mod.ufo"));
    EXPECT_FALSE(row->icon(UnitCheckWindow::ColState).isNull());
    const QColor green = row->foreground(UnitCheckWindow::ColState).color();
    EXPECT_GT(green.green(), green.red());
    // The pieces of the script hang below it.
    EXPECT_EQ(row->childCount(), int(unitfixture::ModelPieces.size()));

    QApplication::clipboard()->clear();
    QTest::mouseClick(w->cmdCopyReport, Qt::LeftButton);
    EXPECT_FALSE(view.report.isEmpty());
    EXPECT_EQ(QApplication::clipboard()->text(), view.report);
    EXPECT_TRUE(view.report.contains(QStringLiteral("ARMTEST")));

    // The placement is kept for the next window.
    w->resize(700, 450);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(main.findChild<UnitCheckWindow*>(), nullptr);
    UnitCheckWindow* again = checkUnit(main, QStringLiteral("ARMTEST.fbi"));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->size(), QSize(700, 450));
}

TEST_F(UnitCheckTest, AMissingTextureAndAScriptPieceTheModelLacksAreErrors) {
    unitfixture::Members members;
    unitfixture::addUnit(members, "ARMBAD");
    members["textures\\ARMBAD.gaf"] = unitfixture::makeGaf({"ARMBADtex1"});
    members["scripts\\ARMBAD.cob"] = unitfixture::makeCob({"base", "turret", "flare", "rblink0"});
    members.erase("sounds\\ARMBADok.wav");
    frmMain& main = openArchive(members);
    UnitCheckWindow* w = checkUnit(main, QStringLiteral("ARMBAD.fbi"));
    ASSERT_NE(w, nullptr);
    const UnitCheckView& view = w->check();
    ASSERT_TRUE(view.error.isEmpty()) << view.error.toStdString();
    EXPECT_GE(view.missing, 3);
    for (const QString& name :
         {QStringLiteral("ARMBADtex2"), QStringLiteral("rblink0"), QStringLiteral("ARMBADok")}) {
        const int l = line(*w, name);
        ASSERT_GE(l, 0);
        EXPECT_EQ(view.lines[std::size_t(l)].state, DependencyState::Error) << name.toStdString();
        EXPECT_TRUE(view.lines[std::size_t(l)].source.isEmpty()) << name.toStdString();
        const QColor red = item(*w, l)->foreground(UnitCheckWindow::ColState).color();
        EXPECT_GT(red.red(), red.green());
    }
    const int tex1 = line(*w, QStringLiteral("ARMBADtex1"));
    ASSERT_GE(tex1, 0);
    EXPECT_EQ(view.lines[std::size_t(tex1)].state, DependencyState::Found);

    // "Only problems" hides what is found unless a problem lies below it.
    w->chkProblemsOnly->setChecked(true);
    EXPECT_TRUE(item(*w, tex1)->isHidden());
    QTreeWidgetItem* missingTexture = item(*w, line(*w, QStringLiteral("ARMBADtex2")));
    for (QTreeWidgetItem* up = missingTexture; up; up = up->parent()) {
        EXPECT_FALSE(up->isHidden());
    }
    w->chkProblemsOnly->setChecked(false);
    EXPECT_FALSE(item(*w, tex1)->isHidden());
}

TEST_F(UnitCheckTest, TheGameFolderProvidesWhatTheArchiveLacks) {
    unitfixture::Members stock;
    stock["sounds\\ARMTESTok.wav"] = "RIFF stock";
    stock["sounds\\ARMTESTsel.wav"] = "RIFF stock";
    ASSERT_TRUE(unitfixture::writeArchive(path("ta") / "totala1.hpi", stock));
    unitfixture::Members members;
    unitfixture::addUnit(members, "ARMTEST");
    members.erase("sounds\\ARMTESTok.wav");
    frmMain& main = openArchive(members);
    UnitCheckWindow* w = checkUnit(main, QStringLiteral("ARMTEST.fbi"));
    ASSERT_NE(w, nullptr);
    const UnitCheckView& view = w->check();
    EXPECT_EQ(view.missing, 0);
    const auto& ok = view.lines[std::size_t(line(*w, QStringLiteral("ARMTESTok")))];
    EXPECT_EQ(ok.source, QStringLiteral("totala1.hpi"));
    EXPECT_FALSE(ok.inOpenArchive);
    // The archive opened first wins over the game folder.
    const auto& sel = view.lines[std::size_t(line(*w, QStringLiteral("ARMTESTsel")))];
    EXPECT_EQ(sel.source, QStringLiteral("mod.ufo"));
    EXPECT_TRUE(sel.inOpenArchive);
    EXPECT_FALSE(view.membersInArchive().contains(QStringLiteral("sounds\\ARMTESTok.wav"),
                                                  Qt::CaseInsensitive));

    // Opening a member of another archive asks first; "No" leaves the main
    // window's archive open.
    (*dialogs_)->queueAnswer(common::MessageAnswer::No);
    w->openLine(line(*w, QStringLiteral("ARMTESTok")));
    EXPECT_EQ(main.archivePath(), QString::fromStdString(path("mod.ufo").string()));
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_TRUE(messages().back().contains(QStringLiteral("totala1.hpi")));
}

TEST_F(UnitCheckTest, ADoubleClickOpensTheMemberThroughThePreview) {
    unitfixture::Members members;
    unitfixture::addUnit(members, "ARMTEST");
    frmMain& main = openArchive(members);
    UnitCheckWindow* w = checkUnit(main, QStringLiteral("ARMTEST.fbi"));
    ASSERT_NE(w, nullptr);
    // The weapon's section lies in a text file: the text view shows it.
    const int weapon = line(*w, QStringLiteral("ARMTEST_LASER"));
    ASSERT_GE(weapon, 0);
    EXPECT_EQ(w->check().lines[std::size_t(weapon)].member, QStringLiteral("weapons\\ARMTEST.tdf"));
    const std::int32_t handle = main.archiveHandle();
    doubleClick(w->Tree, item(*w, weapon));
    EXPECT_EQ(main.GetTreeKey(), QStringLiteral("weapons\\"));
    EXPECT_EQ(main.FileView->model()->entry(main.FileView->selectedRow()).name,
              QStringLiteral("ARMTEST.tdf"));
    frmTXT* text = main.previewDispatch()->textWindow();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->text->toPlainText().contains(QStringLiteral("[ARMTEST_LASER]")));
    // The archive stayed open as it was, and so did the tree.
    EXPECT_EQ(main.archiveHandle(), handle);
    EXPECT_EQ(main.archivePath(), QString::fromStdString(path("mod.ufo").string()));
    EXPECT_TRUE(item(*w, weapon)->isExpanded());
}

TEST_F(UnitCheckTest, NotADefinitionIsRefusedWithAMessage) {
    unitfixture::Members members;
    unitfixture::addUnit(members, "ARMTEST");
    frmMain& main = openArchive(members);
    clickNode(QStringLiteral("scripts"));
    clickEntry(QStringLiteral("ARMTEST.cob"));
    trigger("mnuCheckUnit");
    EXPECT_EQ(main.findChild<UnitCheckWindow*>(), nullptr);
    EXPECT_EQ(messages().size(), 1);
}

class GatherEverything : public UnitCheckTest {
protected:
    std::map<std::string, std::string> repack(bool gatherAll) {
        unitfixture::Members members;
        unitfixture::addUnit(members, "ARMTEST");
        expected_ = members;
        // Neither an unrelated member nor what only the game folder holds
        // goes in.
        members["units\\OTHER.fbi"] = "[UNITINFO]\n{\n\tUnitName=OTHER;\n}\n";
        members["sounds\\unused.wav"] = "RIFF";
        members.erase("sounds\\ARMTESTok.wav");
        expected_.erase("sounds\\ARMTESTok.wav");
        unitfixture::Members stock;
        stock["sounds\\ARMTESTok.wav"] = "RIFF stock";
        EXPECT_TRUE(unitfixture::writeArchive(path("ta") / "totala1.hpi", stock));
        frmMain& main = openArchive(members);
        QAction* option = main.findChild<QAction*>(QStringLiteral("mnuGatherUnitCheck"),
                                                   Qt::FindDirectChildrenOnly);
        EXPECT_NE(option, nullptr);
        EXPECT_FALSE(option->isChecked()); // off by default
        if (gatherAll) {
            option->trigger();
        }
        clickNode(QStringLiteral("units"));
        clickEntry(QStringLiteral("ARMTEST.fbi"));
        (*dialogs_)->queueText(QString::fromStdString(path("ARMTEST.ufo").string()));
        trigger("RepackUnit");
        return archiveContents(path("ARMTEST.ufo"));
    }

    unitfixture::Members expected_;
};

TEST_F(GatherEverything, OffTheRepackKeepsToItsFixedNames) {
    const auto packed = repack(false);
    EXPECT_EQ(packed.size(), 9u);
    EXPECT_EQ(packed.count("weapons\\ARMTEST.tdf"), 0u);
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(GatherEverything, OnTheRepackPacksEveryFoundDependencyOfTheArchiveAndNothingElse) {
    const auto packed = repack(true);
    std::map<std::string, std::string> expected(expected_.begin(), expected_.end());
    EXPECT_EQ(packed, expected);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().front().startsWith(QStringLiteral("|Unit succesfully exported.\r")));
    EXPECT_TRUE(messages().front().contains(QStringLiteral("more files found by the unit check")));
    // The option is kept.
    EXPECT_TRUE(settings().readFlag("Crateward", "Unit check", "Gather Everything", false));
}

TEST_F(GatherEverything, OnARealUnitArchiveItTakesTheWeaponFileAndTheHeapModelButNotTheReadMe) {
    TOOLKIT_REQUIRE_REAL("archives/ArmBani.ufo", real);
    fs::copy_file(real, path("ArmBani.ufo"));
    frmMain& main = start();
    main.OpenHPI(QString::fromStdString(path("ArmBani.ufo").string()));
    ASSERT_NE(main.archiveHandle(), 0);
    main.findChild<QAction*>(QStringLiteral("mnuGatherUnitCheck"))->trigger();
    clickNode(QStringLiteral("units"));
    clickEntry(QStringLiteral("ARMBANI.fbi"));
    (*dialogs_)->queueText(QString::fromStdString(path("out.ufo").string()));
    trigger("RepackUnit");
    const auto packed = archiveContents(path("out.ufo"));
    // 17 members: all but the read-me and the large picture no rule names.
    EXPECT_EQ(packed.size(), 15u);
    for (const char* member :
         {"weapons\\Armbani_weapon.tdf", "objects3d\\3x4A.3do", "objects3d\\banshot.3do",
          "sounds\\LASHITB.WAV", "units\\ARMBANI.fbi", "objects3d\\ARMBANI.3do"}) {
        EXPECT_EQ(packed.count(member), 1u) << member;
    }
    EXPECT_EQ(packed.count("ReadMe.txt"), 0u);
    EXPECT_EQ(packed.count("unitpics\\ARMBANI128x128.jpg"), 0u);
}

} // namespace
} // namespace crateward::testing
