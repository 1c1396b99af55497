// Repack with another compression method, and modify then save: what the
// rewritten archive holds, the menu states, the repack window, and what a
// failed pack leaves.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>

#include "frm_pack_path.hpp"
#include "frm_wait_repack.hpp"
#include "gui_harness.hpp"
#include "pack_engine.hpp"
#include "packing_harness.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<Member> kArchive = {
    {"readme.txt", "hello"},
    {"units\\armcom.fbi", "[UNITINFO]"},
    {"features\\corpses\\armcom_dead.tdf", "[corpse]"},
    {"features\\empty", "", true},
};

const std::map<std::string, std::string> kContents = {
    {"features\\corpses\\armcom_dead.tdf", "[corpse]"},
    {"readme.txt", "hello"},
    {"units\\armcom.fbi", "[UNITINFO]"}};

bool menusWereDisabled = false;
frmMain* current = nullptr;
std::int32_t FailingPackSeeingTheMenus(std::int32_t pack, std::int32_t method) {
    menusWereDisabled = current && !current->menuBar()->isEnabled();
    return FailingPack(pack, method);
}

class Repack : public WindowTest {
protected:
    frmMain& openArchive() {
        writeArchive(archive(), kArchive);
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(archive().string()));
        EXPECT_NE(w.archiveHandle(), 0);
        current = &w;
        return w;
    }
    void TearDown() override {
        packing::SetPackArchiveFunction(nullptr);
        current = nullptr;
        WindowTest::TearDown();
    }
    fs::path archive() const { return path("a.hpi"); }
    fs::path work() const { return fs::path(window_->workingDirectory().toStdString()); }
    packing::frmWaitRePack* repackWindow() const {
        return window_->findChild<packing::frmWaitRePack*>("frmWaitRePack");
    }
    bool enabled(const char* name) const { return window_->findChild<QAction*>(name)->isEnabled(); }
    // Every entry of the browsing column enabled and "Save" disabled, or
    // (modifying) the reverse.
    bool inState(bool modifying) const {
        for (const char* n : {"RepackNO", "RepackLZ77", "RepackZLIB", "mnuExtract",
                              "mnuExtractPath", "mnuExtractAll", "mnuModifierHPI"}) {
            if (enabled(n) == modifying) {
                return false;
            }
        }
        return window_->findChild<QMenu*>("mnuSaveModif")->menuAction()->isEnabled() == modifying &&
               window_->Toolbar->findChild<QAction*>("Save")->isEnabled() == modifying;
    }
};

TEST_F(Repack, NoneThenZlibKeepsNestedPathsNamesAndContents) {
    frmMain& w = openArchive();
    // Left over from an earlier modification: not packed again.
    testsupport::writeFile(work() / "stale.txt", "stale");
    trigger("RepackNO");
    bool chunked = true;
    EXPECT_EQ(archiveContents(archive(), &chunked), kContents);
    EXPECT_FALSE(chunked);
    packing::frmWaitRePack* wait = repackWindow();
    ASSERT_NE(wait, nullptr);
    EXPECT_EQ(wait->windowTitle(), "Repack an HPI archive...");
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(wait->check[std::size_t(i)]->isVisible()) << i;
        EXPECT_TRUE(wait->LbInf[std::size_t(i)]->styleSheet().isEmpty()) << i;
    }
    EXPECT_EQ(wait->UnpackProgress->value(), 3);
    EXPECT_EQ(wait->AffTotalHpiArchive->text(), "3 file(s) packed of 3");
    EXPECT_TRUE(wait->Close->isEnabled());
    wait->Close->click();
    QApplication::processEvents();
    EXPECT_EQ(repackWindow(), nullptr);
    EXPECT_TRUE(inState(false));

    trigger("RepackZLIB");
    EXPECT_EQ(archiveContents(archive(), &chunked), kContents);
    EXPECT_TRUE(chunked);
    // Emptied after a good repack, and the archive is open again.
    EXPECT_TRUE(fs::is_empty(work()));
    EXPECT_NE(w.archiveHandle(), 0);
    EXPECT_EQ(panel(1), "Ready");
    EXPECT_TRUE(messages().isEmpty()) << messages().join("\n").toStdString();
}

TEST_F(Repack, FailedPackKeepsTheArchiveAndTheExtractedFiles) {
    frmMain& w = openArchive();
    const auto before = testsupport::readFile(archive());
    packing::SetPackArchiveFunction(&FailingPackSeeingTheMenus);
    trigger("RepackLZ77");
    EXPECT_TRUE(menusWereDisabled);
    EXPECT_EQ(testsupport::readFile(archive()), before);
    EXPECT_TRUE(fs::exists(work() / "features" / "corpses" / "armcom_dead.tdf"));
    EXPECT_TRUE(fs::exists(work() / "readme.txt"));
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("Error|Error packing the HPI archive !!"));
    EXPECT_NE(w.archiveHandle(), 0); // the old archive is open again
    EXPECT_TRUE(w.menuBar()->isEnabled());
}

TEST_F(Repack, ModifyThenSaveGivesExactlyTheEditsAndTheMenusFollow) {
    frmMain& w = openArchive();
    EXPECT_TRUE(inState(false));
    testsupport::writeFile(work() / "earlier.txt", "from an earlier modification");
    trigger("mnuModifierHPI");
    EXPECT_FALSE(fs::exists(work() / "earlier.txt"));
    EXPECT_TRUE(fs::exists(work() / "features" / "corpses" / "armcom_dead.tdf"));
    EXPECT_TRUE(inState(true));
    EXPECT_EQ(panel(1), "Ready");
    // The tree still shows the archive itself.
    EXPECT_NE(w.archiveHandle(), 0);

    testsupport::writeFile(work() / "units" / "added.fbi", "new unit");
    fs::remove(work() / "readme.txt");
    testsupport::writeFile(work() / "units" / "armcom.fbi", "[EDITED]");
    trigger("mnuSaveModifLZcompress");
    bool chunked = false;
    EXPECT_EQ(
        archiveContents(archive(), &chunked),
        (std::map<std::string, std::string>{{"features\\corpses\\armcom_dead.tdf", "[corpse]"},
                                            {"units\\added.fbi", "new unit"},
                                            {"units\\armcom.fbi", "[EDITED]"}}));
    EXPECT_TRUE(chunked);
    EXPECT_TRUE(inState(false));
    EXPECT_NE(w.archiveHandle(), 0);
    // The dialog stays with its completion label; the edits stay too.
    auto* dialog = w.findChild<packing::frmPackPath*>("frmPackPath");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->AffFinish->isVisible());
    EXPECT_TRUE(fs::exists(work() / "units" / "added.fbi"));
}

TEST_F(Repack, ClosingWhileModifyingReturnsToBrowsingAndKeepsTheEdits) {
    frmMain& w = openArchive();
    trigger("mnuModifierHPI");
    testsupport::writeFile(work() / "mine.txt", "edit");
    w.Fermer();
    w.OpenHPI(QString::fromStdString(archive().string()));
    EXPECT_TRUE(inState(false));
    EXPECT_TRUE(fs::exists(work() / "mine.txt"));
}

TEST_F(Repack, FailedSaveKeepsTheOldArchiveAndTheEdits) {
    frmMain& w = openArchive();
    const auto before = testsupport::readFile(archive());
    trigger("mnuModifierHPI");
    testsupport::writeFile(work() / "mine.txt", "edit");
    packing::SetPackArchiveFunction(&FailingPack);
    trigger("mnuSaveModifNOcompress");
    EXPECT_EQ(testsupport::readFile(archive()), before);
    EXPECT_TRUE(fs::exists(work() / "mine.txt"));
    // Still modifying: the user can remove the cause and save again.
    EXPECT_TRUE(inState(true));
    EXPECT_NE(w.archiveHandle(), 0);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("Error !|Error packing the HPI archive !!"));
}

TEST_F(Repack, RealArchivesKeepEveryMemberThroughARepack) {
    for (const char* name : {"archives/ArmBani.ufo", "archives/ArmImp.ufo"}) {
        TOOLKIT_REQUIRE_REAL(name, real);
        const fs::path copy = path(fs::path(name).filename().string());
        fs::copy_file(real, copy);
        const auto before = archiveContents(copy);
        ASSERT_FALSE(before.empty()) << name;
        if (!window_) {
            start();
        }
        window_->OpenHPI(QString::fromStdString(copy.string()));
        trigger("RepackNO");
        EXPECT_EQ(archiveContents(copy), before) << name;
        trigger("RepackZLIB");
        EXPECT_EQ(archiveContents(copy), before) << name;
    }
    EXPECT_TRUE(messages().isEmpty()) << messages().join("\n").toStdString();
}

} // namespace
} // namespace crateward::testing
