#include "FrmDirectory.hpp"
#include "frmGafViewer.hpp"

#include "common/scripted_dialogs.hpp"

#include <testsupport/gaf_writer.hpp>
#include <testsupport/testsupport.hpp>

#include <QLabel>

#include <gtest/gtest.h>

using namespace spriteglass;
using testsupport::makeGaf;
using testsupport::rawFrame;
namespace fs = std::filesystem;

namespace {

QString qpath(const fs::path& p) {
    return QString::fromStdString(p.string());
}

std::vector<std::string> filesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void writeFixture(const fs::path& file) {
    testsupport::GafFrameSpec parent = rawFrame(2, 2);
    parent.subframes = {rawFrame(5, 2), rawFrame(1, 1)};
    testsupport::writeFile(
        file, makeGaf({{"Walk", {rawFrame(5, 2), parent}}, {"Run", {rawFrame(4, 4)}}}));
}

} // namespace

TEST(ExportCommands, FrameAndSubframeGoThroughTheSaveDialog) {
    testsupport::TempDir dir;
    writeFixture(dir / "x.gaf");
    common::ScopedScriptedDialogs dialogs;
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "x.gaf")));

    dialogs->queueText(qpath(dir / "one.bmp"));
    viewer.CmdFrame->click();
    ASSERT_EQ(dialogs->calls.size(), 1u);
    EXPECT_EQ(dialogs->calls[0].kind, "saveFile");
    EXPECT_EQ(dialogs->calls[0].filter, "BMP files (*.bmp)|*.bmp");
    EXPECT_EQ(dialogs->calls[0].extension, "bmp");
    EXPECT_EQ(fs::file_size(dir / "one.bmp"), 1094u);

    viewer.CmdFrame->click(); // cancelled: nothing written
    EXPECT_EQ(dialogs->calls.size(), 2u);
    EXPECT_FALSE(viewer.CmdSubframe->isEnabled()); // frame 1 has no subframe

    viewer.ScrollFrames->setValue(2);
    EXPECT_FALSE(viewer.CmdFrame->isEnabled()); // a frame with subframes has no picture
    viewer.ScrollSubframes->setValue(2);
    dialogs->queueText(qpath(dir / "sub.bmp"));
    viewer.CmdSubframe->click();
    EXPECT_EQ(fs::file_size(dir / "sub.bmp"), 1078u + 4u);
    EXPECT_TRUE(dialogs->messages().empty());
}

// Each frame command is enabled only where it acts, on every change of the
// entry, frame or subframe shown.
TEST(ExportCommands, FrameCommandsAreEnabledOnlyWhereTheyAct) {
    testsupport::TempDir dir;
    testsupport::GafFrameSpec parent = rawFrame(2, 2);
    parent.subframes = {rawFrame(3, 1), rawFrame(1, 1)};
    testsupport::writeFile(
        dir / "e.gaf",
        makeGaf({{"Plain", {rawFrame(2, 2), parent}}, {"Empty", {}}, {"Made", {parent}}}));
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "e.gaf")));
    const auto enabled = [&] {
        return std::vector<bool>{viewer.CmdFrame->isEnabled(), viewer.CmdSubframe->isEnabled(),
                                 viewer.CmdFramePng->isEnabled(),
                                 viewer.CmdReplaceFrame->isEnabled()};
    };
    using V = std::vector<bool>;
    EXPECT_EQ(enabled(), (V{true, false, true, true})); // a frame of its own
    viewer.ScrollFrames->setValue(2);
    EXPECT_EQ(enabled(), (V{false, true, true, true})); // a frame made of subframes
    viewer.ListGAF->setCurrentItem(viewer.ListGAF->topLevelItem(1));
    EXPECT_EQ(enabled(), (V{false, false, false, false})); // an entry with no frames
    viewer.ListGAF->setCurrentItem(viewer.ListGAF->topLevelItem(2));
    EXPECT_EQ(enabled(), (V{false, true, true, true}));
    viewer.ListGAF->setCurrentItem(viewer.ListGAF->topLevelItem(0));
    EXPECT_EQ(enabled(), (V{true, false, true, true}));
}

// The save dialogs open in the open file's folder, then where the user last
// saved or exported.
TEST(ExportCommands, SaveDialogsOpenWhereTheUserLastSavedElseBesideTheFile) {
    testsupport::TempDir dir;
    fs::create_directories(dir / "gafs");
    fs::create_directories(dir / "out");
    writeFixture(dir / "gafs" / "x.gaf");
    common::ScopedScriptedDialogs dialogs;
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "gafs" / "x.gaf")));

    viewer.CmdFrame->click(); // cancelled
    viewer.CmdFramePng->click();
    dialogs->queueText(qpath(dir / "out" / "one.png"));
    viewer.CmdFramePng->click();
    dialogs->queueText(qpath(dir / "out" / "copy.gaf"));
    viewer.CmdSaveAsGaf->click();
    fs::create_directories(dir / "seq");
    dialogs->queueText(qpath(dir / "seq") + "/");
    viewer.cmdExportSequence->click();
    viewer.CmdFrame->click();
    ASSERT_EQ(dialogs->calls.size(), 6u);
    EXPECT_EQ(dialogs->calls[0].start, qpath(dir / "gafs"));
    EXPECT_EQ(dialogs->calls[1].start, qpath(dir / "gafs"));
    EXPECT_EQ(dialogs->calls[2].start, qpath(dir / "gafs"));
    EXPECT_EQ(dialogs->calls[3].start, qpath(dir / "out" / "x.gaf"));
    EXPECT_EQ(dialogs->calls[4].start, qpath(dir / "out"));
    EXPECT_EQ(dialogs->calls[5].start, qpath(dir / "seq"));
    EXPECT_TRUE(fs::exists(dir / "out" / "copy.gaf"));
}

TEST(ExportCommands, BulkExportsWriteTheAnimationOrTheWholeFile) {
    testsupport::TempDir dir;
    writeFixture(dir / "x.gaf");
    fs::create_directories(dir / "all");
    fs::create_directories(dir / "seq");
    common::ScopedScriptedDialogs dialogs;
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "x.gaf")));

    dialogs->queueText(qpath(dir / "all") + "/");
    viewer.cmdExportAll->click();
    EXPECT_EQ(filesIn(dir / "all"), (std::vector<std::string>{"Run_01.bmp", "Walk_01.bmp",
                                                              "Walk_02_01.bmp", "Walk_02_02.bmp"}));
    EXPECT_TRUE(viewer.ListGAF->isEnabled());
    EXPECT_TRUE(viewer.PicView->isEnabled());

    viewer.cmdExportSequence->click(); // cancelled
    dialogs->queueText(qpath(dir / "seq") + "/");
    viewer.cmdExportSequence->click();
    EXPECT_EQ(filesIn(dir / "seq"),
              (std::vector<std::string>{"Walk_01.bmp", "Walk_02_01.bmp", "Walk_02_02.bmp"}));
    EXPECT_TRUE(viewer.PicView->isEnabled());
}

// A picture the disk refuses (here a folder already holds its name) is
// reported, by the single-frame export and by the bulk exports alike.
TEST(ExportCommands, PicturesThatCannotBeWrittenAreReported) {
    testsupport::TempDir dir;
    writeFixture(dir / "x.gaf");
    fs::create_directories(dir / "taken.bmp");
    fs::create_directories(dir / "all" / "Walk_01.bmp");
    fs::create_directories(dir / "all" / "Walk_02_02.bmp");
    common::ScopedScriptedDialogs dialogs;
    frmGafViewer viewer;
    ASSERT_TRUE(viewer.SetUpWindow(qpath(dir / "x.gaf")));

    dialogs->queueText(qpath(dir / "taken.bmp"));
    viewer.CmdFrame->click();
    ASSERT_EQ(dialogs->messages().size(), 1u);
    EXPECT_NE(dialogs->messages()[0].indexOf(qpath(dir / "taken.bmp") + " cannot be written."), -1);

    dialogs->queueText(qpath(dir / "all") + "/");
    viewer.cmdExportAll->click();
    ASSERT_EQ(dialogs->messages().size(), 2u);
    EXPECT_NE(dialogs->messages()[1].indexOf("2 of the pictures cannot be written to " +
                                             qpath(dir / "all") + "/."),
              -1);
    // What could be written was written.
    EXPECT_TRUE(fs::is_regular_file(dir / "all" / "Run_01.bmp"));
    EXPECT_TRUE(fs::is_regular_file(dir / "all" / "Walk_02_01.bmp"));
    EXPECT_TRUE(viewer.PicView->isEnabled());
}

TEST(FrmDirectory, CreatesDirectoriesAndReturnsThePathWithASlash) {
    testsupport::TempDir dir;
    fs::create_directories(dir / "exists");
    common::ScopedScriptedDialogs dialogs;
    FrmDirectory chooser(nullptr, qpath(dir.path()));
    EXPECT_EQ(chooser.windowTitle(), "Select a Location");
    EXPECT_EQ(chooser.LblPath->text(), qpath(dir.path()));

    dialogs->queueText(QStringLiteral("exists"));
    chooser.CmdMakeDir_Click();
    ASSERT_EQ(dialogs->calls.size(), 2u);
    EXPECT_EQ(dialogs->calls[0].text, "Enter the name of a new directory");
    EXPECT_EQ(dialogs->calls[0].title, "New Dir");
    EXPECT_EQ(dialogs->messages(), std::vector<QString>{"Dir Error|Directory already exists."});
    EXPECT_EQ(dialogs->calls[1].buttons, common::MessageButtons::Ok);
    EXPECT_EQ(chooser.DirPath(), qpath(dir.path()));

    chooser.CmdMakeDir_Click(); // cancelled: nothing
    dialogs->queueText(QStringLiteral("fresh"));
    chooser.CmdMakeDir_Click();
    EXPECT_TRUE(fs::is_directory(dir / "fresh"));
    EXPECT_EQ(chooser.DirPath(), qpath(dir / "fresh"));
    EXPECT_EQ(chooser.LblPath->text(), qpath(dir / "fresh"));

    chooser.CmdOk_Click();
    EXPECT_EQ(chooser.ExportDirectory, qpath(dir / "fresh") + "/");
    chooser.CmdCancel_Click();
    EXPECT_EQ(chooser.ExportDirectory, "");
}
