// The batch dialog: adding sources, its refusals and messages, extracting
// into a directory, merging into a new archive, the open error, and when
// sources are deleted.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>

#include "frm_repack_in_path.hpp"
#include "gui_harness.hpp"
#include "pack_engine.hpp"
#include "packing_harness.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;
using common::MessageAnswer;
using packing::frmRepackInPath;

class Batch : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        start();
        dialog_ = std::make_unique<frmRepackInPath>(window_.get());
        fs::create_directories(path("src"));
        fs::create_directories(path("other"));
    }
    void TearDown() override {
        packing::SetPackArchiveFunction(nullptr);
        dialog_.reset();
        WindowTest::TearDown();
    }
    QString make(const std::string& rel, const std::vector<Member>& members) {
        writeArchive(path(rel), members);
        return QString::fromStdString(path(rel).string());
    }
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < dialog_->ListSourceFiles->count(); ++i) {
            out << dialog_->ListSourceFiles->item(i)->text();
        }
        return out;
    }
    void add(const QStringList& files) {
        (*dialogs_)->queueText(files.join('\n'));
        dialog_->cmdAdd_Click();
    }
    std::unique_ptr<frmRepackInPath> dialog_;
};

TEST_F(Batch, AddsSeveralAtOnceRefusesTwiceAndTakesAFullPathAlone) {
    frmRepackInPath& d = *dialog_;
    EXPECT_EQ(d.windowTitle(), "Uncompress several HPI into ...");
    EXPECT_TRUE(d.OptionHPI->isChecked());
    EXPECT_EQ(d.ComboCompresType->currentIndex(), 2);
    EXPECT_FALSE(d.TxtPath->isEnabled());
    const QString dir = QString::fromStdString(path("src").string());
    const QString a = dir + "/a one.hpi", b = dir + "/b.ufo", c = dir + "/c.ccx";
    add({a, b, c});
    EXPECT_EQ(lines(), QStringList({a, b, c}));
    const auto& open = (*dialogs_)->calls.back();
    EXPECT_EQ(open.title, "Select an HPI archive...");
    EXPECT_EQ(open.filter, "HPI archive|*.hpi;*.ccx;*.ufo;*.gp?");
    // The same bare name from elsewhere in a multiple choice is refused...
    const QString otherB = QString::fromStdString(path("other").string()) + "/b.ufo";
    const QString otherD = QString::fromStdString(path("other").string()) + "/d.hpi";
    add({otherB, otherD});
    EXPECT_EQ(lines(), QStringList({a, b, c, otherD}));
    // ...alone it is taken by its full path, once.
    add({otherB});
    add({otherB});
    EXPECT_EQ(lines(), QStringList({a, b, c, otherD, otherB}));
    EXPECT_EQ(messages(), QStringList({"|You can't add b.ufo twice...",
                                       "|You can't add " + otherB + " twice..."}));
    // The destination archive may be a new file.
    (*dialogs_)->queueText(QString("/x/new merged.hpi"));
    d.cmdBrowseHPI_Click();
    EXPECT_EQ(d.TxtDest->text(), "/x/new merged.hpi");
    EXPECT_EQ((*dialogs_)->calls.back().kind, "saveFile");
    EXPECT_EQ((*dialogs_)->calls.back().title, "Enter an HPI archive...");
    d.ListSourceFiles->setCurrentRow(0);
    d.cmdRmv_Click();
    EXPECT_EQ(lines().size(), 4);
    d.cmdRemoveAll_Click();
    EXPECT_TRUE(lines().isEmpty());
}

TEST_F(Batch, RefusesAnEmptyListPlaceholdersAndAMissingDirectory) {
    frmRepackInPath& d = *dialog_;
    d.cmdGO_Click();
    d.ListSourceFiles->addItem(make("src/a.hpi", {{"x.txt", "x"}}));
    d.cmdGO_Click();
    d.OptionPath->click();
    EXPECT_TRUE(d.TxtPath->isEnabled());
    EXPECT_FALSE(d.TxtDest->isEnabled());
    d.cmdGO_Click();
    d.TxtPath->setText(QString::fromStdString(path("nowhere").string()));
    d.cmdGO_Click();
    d.TxtDest->setText("nodot");
    EXPECT_FALSE(d.TxtDest_Validate());
    EXPECT_EQ(messages(), QStringList({"|You must add HPI file to launch the function :-)",
                                       "|You must enter a destination filename...",
                                       "|You must enter a destination directory...",
                                       "|The directory you've entered doesn't exist !",
                                       "|Not a valid file name..."}));
}

TEST_F(Batch, DirectoryModeLaterArchiveWinsAndSourcesGoWhenAsked) {
    frmRepackInPath& d = *dialog_;
    const QString first = make("src/first.hpi", {{"units\\a.fbi", "first"}, {"one.txt", "1"}});
    const QString second = make("src/second.hpi", {{"units\\a.fbi", "second"}});
    d.ListSourceFiles->addItem(first);
    d.ListSourceFiles->addItem(second);
    d.OptionPath->click();
    fs::create_directories(path("out"));
    d.TxtPath->setText(QString::fromStdString(path("out").string()));
    d.CheckSupFile[1]->setChecked(true);
    d.cmdGO_Click();
    const auto a = testsupport::readFile(path("out/units/a.fbi"));
    EXPECT_EQ(std::string(a.begin(), a.end()), "second");
    EXPECT_TRUE(fs::exists(path("out/one.txt")));
    EXPECT_FALSE(fs::exists(path("src/first.hpi")));
    EXPECT_FALSE(fs::exists(path("src/second.hpi")));
    EXPECT_EQ(d.LBStatus->text(), "Deleting successfully completed !");
    EXPECT_EQ(d.ListSourceFiles->count(), 0);
}

TEST_F(Batch, MergeModeLaterSourceWinsAndTheSkippedSourceIsKept) {
    frmRepackInPath& d = *dialog_;
    const QString first = make("src/first.hpi", {{"units\\a.fbi", "first"}, {"one.txt", "1"}});
    testsupport::writeFile(path("src/broken.hpi"), "not an archive");
    const QString broken = QString::fromStdString(path("src/broken.hpi").string());
    const QString second = make("src/second.hpi", {{"units\\a.fbi", "second"}});
    for (const QString& s : {first, broken, second}) {
        d.ListSourceFiles->addItem(s);
    }
    d.TxtDest->setText(QString::fromStdString(path("merged.hpi").string()));
    d.CheckSupFile[0]->setChecked(true);
    d.CheckOpenNewHPI->setChecked(true);
    (*dialogs_)->queueAnswer(MessageAnswer::Yes);
    d.cmdGO_Click();
    EXPECT_EQ(archiveContents(path("merged.hpi")),
              (std::map<std::string, std::string>{{"one.txt", "1"}, {"units\\a.fbi", "second"}}));
    EXPECT_EQ(messages(),
              QStringList({"|Error during extracting " + broken + " , do you want to continue ?"}));
    EXPECT_FALSE(fs::exists(path("src/first.hpi")));
    EXPECT_FALSE(fs::exists(path("src/second.hpi")));
    EXPECT_TRUE(fs::exists(path("src/broken.hpi")));
    // The new archive is open in the main window and first in the recent list.
    EXPECT_EQ(window_->archivePath().toStdString(), path("merged.hpi").string());
    EXPECT_EQ(settings().read("Crateward", "Opened Hpi", "1"), path("merged.hpi").string());
}

TEST_F(Batch, NoToTheOpenErrorFailsWithEmptyBars) {
    frmRepackInPath& d = *dialog_;
    testsupport::writeFile(path("src/broken.hpi"), "not an archive");
    d.ListSourceFiles->addItem(make("src/first.hpi", {{"x.txt", "x"}}));
    d.ListSourceFiles->addItem(QString::fromStdString(path("src/broken.hpi").string()));
    d.TxtDest->setText(QString::fromStdString(path("merged.hpi").string()));
    d.CheckSupFile[0]->setChecked(true);
    (*dialogs_)->queueAnswer(MessageAnswer::No);
    d.cmdGO_Click();
    EXPECT_EQ(d.LBStatus->text(), "Operation fail !");
    EXPECT_EQ(d.HPIProgress->value(), 0);
    EXPECT_EQ(d.GeneProgress->value(), 0);
    EXPECT_FALSE(fs::exists(path("merged.hpi")));
    EXPECT_TRUE(fs::exists(path("src/first.hpi")));
}

TEST_F(Batch, AFailedMergeDeletesNoSource) {
    frmRepackInPath& d = *dialog_;
    d.ListSourceFiles->addItem(make("src/first.hpi", {{"x.txt", "x"}}));
    d.TxtDest->setText(QString::fromStdString(path("merged.hpi").string()));
    d.CheckSupFile[0]->setChecked(true);
    packing::SetPackArchiveFunction(&FailingPack);
    d.cmdGO_Click();
    EXPECT_EQ(d.LBStatus->text(), "Packing new HPI fail !");
    EXPECT_TRUE(fs::exists(path("src/first.hpi")));
    EXPECT_FALSE(fs::exists(path("merged.hpi")));
}

TEST_F(Batch, AnOpenArchiveIsClosedOnlyWhenTheUserAgrees) {
    frmRepackInPath& d = *dialog_;
    const QString first = make("src/first.hpi", {{"x.txt", "x"}});
    window_->OpenHPI(first);
    d.ListSourceFiles->addItem(first);
    d.TxtDest->setText(QString::fromStdString(path("merged.hpi").string()));
    (*dialogs_)->queueAnswer(MessageAnswer::No);
    d.cmdGO_Click();
    EXPECT_NE(window_->archiveHandle(), 0);
    EXPECT_FALSE(fs::exists(path("merged.hpi")));
    (*dialogs_)->queueAnswer(MessageAnswer::Yes);
    d.cmdGO_Click();
    EXPECT_EQ(window_->archiveHandle(), 0);
    EXPECT_EQ(archiveContents(path("merged.hpi")).size(), 1u);
}

TEST_F(Batch, AMergeIntoOneOfItsSourcesKeepsTheResult) {
    frmRepackInPath& d = *dialog_;
    const QString first = make("src/first.hpi", {{"x.txt", "x"}});
    const QString second = make("src/second.hpi", {{"y.txt", "y"}});
    d.ListSourceFiles->addItem(first);
    d.ListSourceFiles->addItem(second);
    d.TxtDest->setText(first);
    d.CheckSupFile[0]->setChecked(true);
    d.cmdGO_Click();
    EXPECT_EQ(archiveContents(path("src/first.hpi")),
              (std::map<std::string, std::string>{{"x.txt", "x"}, {"y.txt", "y"}}));
    EXPECT_FALSE(fs::exists(path("src/second.hpi")));
}

TEST_F(Batch, AMergeLeavesAModificationsWorkingCopyAlone) {
    frmRepackInPath& d = *dialog_;
    const QString first = make("src/first.hpi", {{"x.txt", "x"}});
    window_->OpenHPI(first);
    trigger("mnuModifierHPI");
    const fs::path work(window_->workingDirectory().toStdString());
    testsupport::writeFile(work / "edited.txt", "my edit");
    d.ListSourceFiles->addItem(make("src/second.hpi", {{"y.txt", "y"}}));
    d.TxtDest->setText(QString::fromStdString(path("merged.hpi").string()));
    (*dialogs_)->queueAnswer(MessageAnswer::Yes);
    d.cmdGO_Click();
    EXPECT_EQ(archiveContents(path("merged.hpi")),
              (std::map<std::string, std::string>{{"y.txt", "y"}}));
    EXPECT_TRUE(fs::exists(work / "edited.txt"));
    EXPECT_TRUE(fs::exists(work / "x.txt"));
}

} // namespace
} // namespace crateward::testing
