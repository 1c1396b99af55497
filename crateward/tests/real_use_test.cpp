// Faults a modder meets in everyday use, each through the real window: the
// keyboard in the tree, names in the icon modes, copies of another archive,
// owned windows, merges differing in case, hidden members, a failed save,
// and a termination signal during start-up.
#include <QAction>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_fic_dump.hpp"
#include "frm_repack_in_path.hpp"
#include "gui_harness.hpp"
#include "hex_dump.hpp"
#include "monospace_font.hpp"
#include "pack_engine.hpp"
#include "packing_harness.hpp"
#include "preview_dispatch.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

std::string textOf(const fs::path& file) {
    const auto bytes = testsupport::readFile(file);
    return std::string(bytes.begin(), bytes.end());
}

class RealUse : public WindowTest {
protected:
    frmMain& openArchive(const std::string& name, const std::vector<Member>& members) {
        writeArchive(path(name), members);
        frmMain& w = window_ ? *window_ : start();
        w.OpenHPI(QString::fromStdString(path(name).string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }
    fs::path work() const { return fs::path(window_->workingDirectory().toStdString()); }
    void TearDown() override {
        packing::SetPackArchiveFunction(nullptr);
        WindowTest::TearDown();
    }
};

TEST_F(RealUse, KeyboardMovesInTheTreeShowTheFolderTheCommandsUse) {
    frmMain& w = openArchive("a.hpi", {{"alpha\\same.txt", "from alpha"},
                                       {"alpha\\only_alpha.txt", "a"},
                                       {"beta\\same.txt", "from beta"},
                                       {"beta\\only_beta.txt", "b"},
                                       {"top.txt", "t"}});
    // The root's entries show as soon as the archive opens.
    EXPECT_EQ(listColumn(0), QStringList({"alpha", "beta", "top.txt"}));
    clickNode("alpha");
    EXPECT_TRUE(listColumn(0).contains("only_alpha.txt"));

    w.Tree->setFocus();
    QTest::keyClick(w.Tree, Qt::Key_Down);
    EXPECT_EQ(w.GetTreeKey(), "beta\\");
    EXPECT_TRUE(listColumn(0).contains("only_beta.txt"));
    EXPECT_EQ(panel(5), "beta\\");
    // A command on the list's entry uses the folder shown.
    clickEntry("same.txt");
    trigger("mnuHexDump");
    EXPECT_EQ(textOf(work() / "beta" / "same.txt"), "from beta");
    EXPECT_FALSE(fs::exists(work() / "alpha" / "same.txt"));

    QTest::keyClick(w.Tree, Qt::Key_Up);
    QTest::keyClick(w.Tree, Qt::Key_Up);
    EXPECT_EQ(w.GetTreeKey(), "");
    EXPECT_EQ(listColumn(0), QStringList({"alpha", "beta", "top.txt"}));

    // A folder entry has no hex dump.
    clickEntry("alpha");
    EXPECT_FALSE(w.findChild<QAction*>("mnuHexDump")->isEnabled());
    EXPECT_FALSE(w.findChild<QAction*>("popupHexDump")->isEnabled());
    trigger("mnuHexDump");
    EXPECT_TRUE(messages().isEmpty());
    clickEntry("top.txt");
    EXPECT_TRUE(w.findChild<QAction*>("popupHexDump")->isEnabled());
}

TEST_F(RealUse, EveryNameShowsWholeInEveryIconModeWhenTheFirstIsShort) {
    const std::string longName = "a_rather_long_member_name_of_a_mod_texture_set.gaf";
    frmMain& w = openArchive("a.hpi", {{"a.b", "1"}, {longName, "2"}, {"c.txt", "3"}});
    w.resize(300, 400); // narrower than the long name
    QListView* view = w.FileView->iconView();
    for (const int mode :
         {FileViewControl::LargeIcons, FileViewControl::SmallIcons, FileViewControl::List}) {
        w.FileView->setViewMode(mode);
        QCoreApplication::processEvents();
        const QFontMetrics metrics(view->font());
        FileViewModel* model = w.FileView->model();
        for (int row = 0; row < model->count(); ++row) {
            const QString name = model->entry(row).name;
            const QRect rect = view->visualRect(model->index(row, 0));
            const int needed =
                metrics.horizontalAdvance(name) + (mode == FileViewControl::LargeIcons ? 0 : 16);
            EXPECT_GE(rect.width(), needed) << "mode " << mode << " " << name.toStdString();
        }
    }
}

TEST_F(RealUse, ACopyBelongsToTheArchiveItCameFrom) {
    openArchive("one.hpi", {{"docs\\readme.txt", "one"}});
    clickNode("docs");
    clickEntry("readme.txt");
    trigger("mnuHexDump");
    EXPECT_EQ(textOf(work() / "docs" / "readme.txt"), "one");

    openArchive("two.hpi", {{"docs\\readme.txt", "two!"}});
    EXPECT_TRUE(fs::is_empty(work())); // closing emptied the copies
    clickNode("docs");
    clickEntry("readme.txt");
    trigger("mnuHexDump");
    EXPECT_EQ(textOf(work() / "docs" / "readme.txt"), "two!");
}

TEST_F(RealUse, OwnedWindowsAreDialogTypeWindowsOfTheMainWindow) {
    frmMain& w = openArchive("a.hpi", {{"b.bin", "bytes"}});
    clickEntry("b.bin");
    trigger("mnuHexDump");
    frmFicDump* dump = w.previewDispatch()->hexDump()->window();
    ASSERT_NE(dump, nullptr);
    // Dialog-type windows are the ones Qt names the owner of to the window
    // manager (WM_TRANSIENT_FOR), which keeps them in front of it.
    EXPECT_EQ(dump->windowType(), Qt::Dialog);
    EXPECT_EQ(dump->parentWidget(), &w);
    EXPECT_TRUE(dump->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(dump->isModal());
}

TEST_F(RealUse, TheDumpFontIsFixedPitchEvenWhenTheWishedFamilyIsNot) {
    // A proportional family asked for by name: the face used is checked.
    const QFont font = MonospaceFont({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans")}, 8);
    EXPECT_TRUE(QFontInfo(font).fixedPitch()) << font.family().toStdString();
    EXPECT_EQ(font.pointSize(), 8);
}

TEST_F(RealUse, AMergeOfSourcesDifferingInCaseKeepsTheLaterFileInOneFolder) {
    start();
    writeArchive(path("first.hpi"), {{"UNITS\\ARMCOM.FBI", "first"}, {"UNITS\\KEEP.FBI", "k"}});
    writeArchive(path("second.hpi"), {{"units\\armcom.fbi", "second"}, {"Units\\new.fbi", "n"}});
    for (const bool intoArchive : {true, false}) {
        packing::frmRepackInPath dialog(window_.get());
        dialog.ListSourceFiles->addItem(QString::fromStdString(path("first.hpi").string()));
        dialog.ListSourceFiles->addItem(QString::fromStdString(path("second.hpi").string()));
        if (intoArchive) {
            dialog.TxtDest->setText(QString::fromStdString(path("merged.hpi").string()));
        } else {
            dialog.OptionPath->click();
            fs::create_directories(path("out"));
            dialog.TxtPath->setText(QString::fromStdString(path("out").string()));
        }
        dialog.cmdGO_Click();
    }
    EXPECT_EQ(archiveContents(path("merged.hpi")),
              (std::map<std::string, std::string>{{"UNITS\\ARMCOM.FBI", "second"},
                                                  {"UNITS\\KEEP.FBI", "k"},
                                                  {"UNITS\\new.fbi", "n"}}));
    EXPECT_EQ(textOf(path("out/UNITS/ARMCOM.FBI")), "second");
    EXPECT_TRUE(fs::exists(path("out/UNITS/new.fbi")));
    EXPECT_FALSE(fs::exists(path("out/units")));
    EXPECT_FALSE(fs::exists(path("out/Units")));
}

TEST_F(RealUse, MembersNamedWithALeadingDotSurviveARepackAndASave) {
    openArchive("a.hpi", {{".modinfo", "name=Mine"}, {"units\\.keep", ""}, {"units\\a.fbi", "a"}});
    trigger("RepackZLIB");
    const std::map<std::string, std::string> all = {
        {".modinfo", "name=Mine"}, {"units\\.keep", ""}, {"units\\a.fbi", "a"}};
    EXPECT_EQ(archiveContents(path("a.hpi")), all);
    trigger("mnuModifierHPI");
    trigger("mnuSaveModifNOcompress");
    EXPECT_EQ(archiveContents(path("a.hpi")), all);
}

TEST_F(RealUse, AFailedSaveKeepsTheModificationUntilASaveSucceeds) {
    frmMain& w = openArchive("a.hpi", {{"units\\a.fbi", "old"}});
    trigger("mnuModifierHPI");
    testsupport::writeFile(work() / "units" / "a.fbi", "edited");
    packing::SetPackArchiveFunction(&FailingPack);
    trigger("mnuSaveModifZLIBcompress");
    EXPECT_EQ(archiveContents(path("a.hpi")).at("units\\a.fbi"), "old");
    EXPECT_TRUE(w.findChild<QMenu*>("mnuSaveModif")->menuAction()->isEnabled());
    EXPECT_FALSE(w.findChild<QAction*>("mnuModifierHPI")->isEnabled());
    EXPECT_TRUE(w.hasUnsavedModification());

    // Opening another archive leaves the edits; modifying that one asks
    // first, and "No" keeps them.
    openArchive("b.hpi", {{"b.txt", "b"}});
    EXPECT_EQ(textOf(work() / "units" / "a.fbi"), "edited");
    (*dialogs_)->queueAnswer(common::MessageAnswer::No);
    trigger("mnuModifierHPI");
    EXPECT_EQ(textOf(work() / "units" / "a.fbi"), "edited");
    EXPECT_EQ((*dialogs_)->calls.back().buttons, common::MessageButtons::YesNo);
    // Exit asks too; "No" keeps the window.
    (*dialogs_)->queueAnswer(common::MessageAnswer::No);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(fs::exists(work() / "units" / "a.fbi"));

    // Back on the archive, the cause removed, the save goes through.
    w.OpenHPI(QString::fromStdString(path("a.hpi").string()));
    trigger("mnuModifierHPI"); // asks again; the queue is empty: "Yes"
    testsupport::writeFile(work() / "units" / "a.fbi", "edited again");
    packing::SetPackArchiveFunction(nullptr);
    trigger("mnuSaveModifZLIBcompress");
    EXPECT_EQ(archiveContents(path("a.hpi")).at("units\\a.fbi"), "edited again");
    EXPECT_FALSE(w.hasUnsavedModification());
    EXPECT_TRUE(w.findChild<QAction*>("mnuModifierHPI")->isEnabled());
}

// Dialogs that deliver a termination signal while a start-up message is open.
class SignalDuringMessage : public common::ScriptedDialogs {
public:
    frmMain* window = nullptr;
    common::MessageAnswer message(QWidget* parent, const QString& text, const QString& title,
                                  common::MessageIcon icon,
                                  common::MessageButtons buttons) override {
        if (window) {
            window->terminate();
        }
        return ScriptedDialogs::message(parent, text, title, icon, buttons);
    }
};

TEST_F(RealUse, ASignalDuringAStartUpMessageEndsTheProgramAndLeavesNoSlot) {
    testsupport::writeFile(path("not an archive.hpi"), "plain text");
    auto* dialogs = new SignalDuringMessage;
    auto previous = common::Dialogs::install(std::unique_ptr<common::Dialogs>(dialogs));
    {
        frmMain w;
        dialogs->window = &w;
        EXPECT_FALSE(w.startUp(QString::fromStdString(path("not an archive.hpi").string())));
        EXPECT_EQ(dialogs->calls.size(), 1u);
        EXPECT_TRUE(w.workingDirectory().isEmpty());
    }
    common::Dialogs::install(std::move(previous));
    for (int n = 1; n <= kMaxInstances; ++n) {
        EXPECT_FALSE(fs::exists(path("home") / ("temp" + std::to_string(n)))) << n;
    }
}

} // namespace
} // namespace crateward::testing
