// The pack dialog driven through the window: names inside the new archive,
// what is left out, its states and messages, and the progress labels.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>

#include "frm_pack_path.hpp"
#include "gui_harness.hpp"
#include "pack_engine.hpp"
#include "pack_progress_display.hpp"
#include "packing_harness.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;
using packing::frmPackPath;

class PackPath : public WindowTest {
protected:
    void TearDown() override {
        packing::SetPackArchiveFunction(nullptr);
        WindowTest::TearDown();
    }
    // Packs `root` into `target` through "&From a path..." and returns what
    // the dialog showed when done.
    struct Done {
        bool finish = false, exit = false, inputsHidden = false;
        QString finishText, total, status;
        int method = -1;
        bool menusDisabledWhilePacking = false;
    };
    Done packThroughMenu(const QString& root, const fs::path& target) {
        Done done;
        whenModal<frmPackPath>([&](frmPackPath& d) {
            done.method = d.Method->currentIndex();
            d.DataInput[0]->setText(root);
            d.DataInput[1]->setText(QString::fromStdString(target.string()));
            d.Label2_Click();
            done.finish = d.AffFinish->isVisible();
            done.exit = d.BTexit->isVisible();
            done.inputsHidden =
                !d.DataInput[0]->isVisible() && !d.Label2->isVisible() && !d.Method->isVisible();
            done.finishText = d.AffFinish->text();
            done.total = d.AffTotalHpiArchive->text();
            done.status = window_->statusPanel(1)->text();
        });
        trigger("PackFromPath");
        return done;
    }
    fs::path makeTree() {
        const fs::path t = path("tree");
        testsupport::writeFile(t / "top.txt", "top");
        testsupport::writeFile(t / "sub" / "name.fbi", "unit");
        testsupport::writeFile(t / "sub" / "deeper" / "x.tdf", "x");
        testsupport::writeFile(t / ".hidden", "no");
        testsupport::writeFile(t / "sub" / ".hidden.txt", "no");
        fs::create_directories(t / "empty");
        return t;
    }
};

TEST_F(PackPath, FinalSeparatorOrNotGivesTheSameRelativeNames) {
    start();
    const fs::path tree = makeTree();
    const QString root = QString::fromStdString(tree.string());
    const Done one = packThroughMenu(root, path("one.hpi"));
    const Done two = packThroughMenu(root + "/", path("two.hpi"));
    EXPECT_EQ(one.method, 2); // ZLIB when the dialog loads
    EXPECT_TRUE(one.finish && one.exit && one.inputsHidden);
    EXPECT_EQ(one.finishText, "Operation succesfully completed");
    EXPECT_EQ(one.total, "3 file(s) packed of 3");
    EXPECT_EQ(one.status, "Ready");
    const auto contents = archiveContents(path("one.hpi"));
    EXPECT_EQ(contents, archiveContents(path("two.hpi")));
    EXPECT_EQ(contents,
              (std::map<std::string, std::string>{
                  {"sub\\deeper\\x.tdf", "x"}, {"sub\\name.fbi", "unit"}, {"top.txt", "top"}}));
    EXPECT_TRUE(messages().isEmpty()) << messages().join("\n").toStdString();
}

TEST_F(PackPath, EmptyTreeGivesAnArchiveWithoutFilesAndTheCompletionLabel) {
    start();
    fs::create_directories(path("bare") / "a" / "b");
    const Done done = packThroughMenu(QString::fromStdString(path("bare").string()), path("e.hpi"));
    EXPECT_TRUE(done.finish);
    EXPECT_EQ(done.finishText, "Operation succesfully completed");
    ASSERT_TRUE(fs::exists(path("e.hpi")));
    EXPECT_TRUE(archiveContents(path("e.hpi")).empty());
}

TEST_F(PackPath, MissingFieldsAndUncreatableArchiveLeaveTheInputState) {
    frmMain& w = start();
    frmPackPath d(&w);
    EXPECT_FALSE(d.Label2_Click());
    d.DataInput[0]->setText(QString::fromStdString(makeTree().string()));
    d.DataInput[1]->setText(QString::fromStdString(path("no/such/folder/x.hpi").string()));
    EXPECT_FALSE(d.Label2_Click());
    // A directory that is not there never empties an existing archive.
    writeArchive(path("kept.hpi"), {{"k.txt", "k"}});
    const auto kept = testsupport::readFile(path("kept.hpi"));
    d.DataInput[0]->setText(QString::fromStdString(path("typo").string()));
    d.DataInput[1]->setText(QString::fromStdString(path("kept.hpi").string()));
    EXPECT_FALSE(d.Label2_Click());
    EXPECT_EQ(testsupport::readFile(path("kept.hpi")), kept);
    EXPECT_EQ(
        messages(),
        QStringList({"|You must choice a directory to pack and a destination HPI file name !!",
                     "Error !|Error creating the HPI archive !!",
                     "|The directory you've entered doesn't exist !"}));
    EXPECT_TRUE(d.Label2->isEnabled());
    EXPECT_FALSE(d.AffFinish->isVisibleTo(&d));
    EXPECT_EQ(panel(1), "Ready");
}

TEST_F(PackPath, BrowseButtonsFillTheFieldsAndACancelChangesNothing) {
    frmMain& w = start();
    frmPackPath d(&w);
    d.DataInput[1]->setText("kept.hpi");
    (*dialogs_)->queueText(std::nullopt);
    d.BoutonsParcourir_Click(1);
    EXPECT_EQ(d.DataInput[1]->text(), "kept.hpi");
    // Nothing saved yet and no archive open: the dialog opens in the home
    // folder, not in the process's current one.
    EXPECT_EQ((*dialogs_)->calls.back().start, QDir(QDir::homePath()).filePath("New Hpi File"));
    fs::create_directories(path("x"));
    const QString chosen = QString::fromStdString(path("x/new.ufo").string());
    (*dialogs_)->queueText(chosen);
    d.BoutonsParcourir_Click(1);
    EXPECT_EQ(d.DataInput[1]->text(), chosen);
    const auto& save = (*dialogs_)->calls.back();
    EXPECT_EQ(save.title, "Save new HPI archive as...");
    EXPECT_EQ(save.filter, "UFO file (*.ufo)|*.ufo|HPI file (*.hpi)|*.hpi|CCX File (*.ccx)|*.ccx");
    // The next save dialog opens where the user last saved, in this run or
    // a later one.
    (*dialogs_)->queueText(std::nullopt);
    d.BoutonsParcourir_Click(1);
    EXPECT_EQ((*dialogs_)->calls.back().start,
              QString::fromStdString(path("x").string()) + "/New Hpi File");
    (*dialogs_)->queueText(QString("/some/dir"));
    d.BoutonsParcourir_Click(0);
    EXPECT_EQ(d.DataInput[0]->text(), "/some/dir");
}

TEST_F(PackPath, ProgressLabelsReadAsCountedAndAreWrittenOnlyOnChange) {
    frmMain& w = start();
    frmPackPath d(&w);
    d.progress().setMinimumInterval(0);
    packing::ProgressValues v{"sub\\name.fbi", 3, 10, 5, 8, 40, 100};
    d.progress().show(v);
    EXPECT_EQ(d.AffTotalHpiArchive->text(), "3 file(s) packed of 10");
    EXPECT_EQ(d.AffFileName->text(), "sub\\name.fbi");
    EXPECT_EQ(d.ProgressBarFile->maximum(), 8);
    EXPECT_EQ(d.ProgressBarHPIArchive->value(), 40);
    const int writes = d.progress().writes();
    v.fileDone = 6;
    v.archiveDone = 41;
    d.progress().show(v);
    EXPECT_EQ(d.progress().writes(), writes); // values only: no caption or maximum rewritten
    EXPECT_EQ(d.ProgressBarFile->value(), 6);
    // Within the interval a report waits until the next one or the end.
    d.progress().setMinimumInterval(60000);
    v.filesDone = 4;
    d.progress().show(v);
    EXPECT_EQ(d.AffTotalHpiArchive->text(), "3 file(s) packed of 10");
    d.progress().flush();
    EXPECT_EQ(d.AffTotalHpiArchive->text(), "4 file(s) packed of 10");
    v.filesDone = 10;
    v.archiveDone = 100;
    d.progress().show(v);
    EXPECT_EQ(d.AffTotalHpiArchive->text(), "10 file(s) packed of 10");
}

TEST_F(PackPath, FailedPackLeavesTheOldArchiveByteIdenticalAndSaysSo) {
    start();
    const fs::path target = path("old.hpi");
    writeArchive(target, {{"old.txt", "old"}});
    const auto before = testsupport::readFile(target);
    packing::SetPackArchiveFunction(&FailingPack);
    const Done done = packThroughMenu(QString::fromStdString(makeTree().string()), target);
    EXPECT_EQ(testsupport::readFile(target), before);
    EXPECT_EQ(done.finishText, "Operation failed !");
    // The quoted text as it stands, the library's reason as detailed text.
    EXPECT_EQ(messages(), QStringList({"Error !|Error packing the HPI archive !!"}));
    EXPECT_FALSE((*dialogs_)->calls.back().extras.details.isEmpty());
}

} // namespace
} // namespace crateward::testing
