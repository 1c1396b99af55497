// The extraction commands, their messages and what they leave on disk,
// and the directory chooser.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

#include "crateward_dialogs.hpp"
#include "file_view_control.hpp"
#include "frm_chemin.hpp"
#include "frm_wait.hpp"
#include "gui_harness.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<Member> kArchive = {
    {"readme.txt", "hello"},     {"units\\armcom.fbi", "[UNITINFO]"},
    {"units\\Makefile", "all:"}, {"units\\sounds\\boom.wav", "RIFF"},
    {"units\\empty", "", true},  {"nothing\\deeper", "", true},
};

using testsupport::readText;

// Replaces the only occurrence of `from` in the file by `to` (same length):
// a way to store names the writer refuses.
void patchName(const fs::path& file, const std::string& from, const std::string& to) {
    ASSERT_EQ(from.size(), to.size());
    auto bytes = testsupport::readFile(file);
    auto it = std::search(bytes.begin(), bytes.end(), from.begin(), from.end());
    ASSERT_NE(it, bytes.end());
    ASSERT_EQ(std::search(it + 1, bytes.end(), from.begin(), from.end()), bytes.end());
    std::copy(to.begin(), to.end(), it);
    testsupport::writeFile(file, bytes);
}

class Extract : public WindowTest {
protected:
    frmMain& openArchive(const std::vector<Member>& members = kArchive) {
        const auto p = path("a.hpi");
        writeArchive(p, members);
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(p.string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }
    QString dest(std::string_view name) {
        fs::create_directories(path(name));
        return QString::fromStdString(path(name).string());
    }
    QString ta() const { return QString::fromStdString(path("ta").string()) + "/"; }
};

TEST_F(Extract, SelectedFileGoesWhereTheSaveDialogSays) {
    frmMain& w = openArchive();
    clickNode("units");
    clickEntry("armcom.fbi");
    const fs::path target = path("saved.fbi");
    (*dialogs_)->queueText(QString::fromStdString(target.string()));
    trigger("mnuExtract");
    EXPECT_EQ(readText(target), "[UNITINFO]");
    ASSERT_EQ((*dialogs_)->calls.size(), 1u);
    const auto& save = (*dialogs_)->calls[0];
    EXPECT_EQ(save.kind, "saveFile");
    EXPECT_EQ(save.title, "Save file as...");
    EXPECT_EQ(save.filter, "fbi File|*.fbi");
    // Nothing saved yet: the dialog opens in the archive's folder.
    EXPECT_EQ(save.start, QString::fromStdString(path("armcom.fbi").string()));
    EXPECT_EQ(panel(1), "Ready");
    EXPECT_TRUE(w.Status->currentMessage().startsWith("1 file extracted (10 bytes) in "))
        << w.Status->currentMessage().toStdString();
    // Cancelled: nothing happens.
    trigger("popupExtract");
    EXPECT_EQ((*dialogs_)->calls.size(), 2u);
    EXPECT_TRUE(messages().isEmpty());
    // A destination whose folder is missing fails with the message.
    (*dialogs_)->queueText(QString::fromStdString(path("no/such/dir/x.fbi").string()));
    trigger("mnuExtract");
    EXPECT_EQ(messages(), QStringList({"Error !|There is an error extracting the file !"}));
    EXPECT_EQ((*dialogs_)->calls.back().icon, common::MessageIcon::Critical);
    // The library's reason is the detailed text.
    EXPECT_TRUE((*dialogs_)->calls.back().extras.details.contains("x.fbi"))
        << (*dialogs_)->calls.back().extras.details.toStdString();
    EXPECT_EQ(w.archiveHandle() != 0, true);
    EXPECT_TRUE(w.Status->currentMessage().startsWith("0 files extracted"));
    // The next save dialog opens where the user last saved.
    fs::create_directories(path("mine"));
    (*dialogs_)->queueText(QString::fromStdString(path("mine/a.fbi").string()));
    trigger("mnuExtract");
    trigger("mnuExtract");
    EXPECT_EQ((*dialogs_)->calls.back().start,
              QString::fromStdString(path("mine/armcom.fbi").string()));
}

TEST_F(Extract, PathExtractsTheDirectorysFilesSideBySide) {
    openArchive();
    clickNode("units");
    (*dialogs_)->queueText(dest("out"));
    trigger("mnuExtractPath");
    ASSERT_EQ((*dialogs_)->calls.size(), 1u);
    EXPECT_EQ((*dialogs_)->calls[0].title, "Select a directory...");
    EXPECT_EQ((*dialogs_)->calls[0].start, ta());
    EXPECT_EQ(readText(path("out/armcom.fbi")), "[UNITINFO]");
    EXPECT_EQ(readText(path("out/Makefile")), "all:");
    EXPECT_FALSE(fs::exists(path("out/sounds")));
    EXPECT_FALSE(fs::exists(path("out/boom.wav")));
    EXPECT_EQ(window_->findChild<frmWait*>(), nullptr);
    EXPECT_EQ(panel(1), "Ready");
    EXPECT_TRUE(messages().isEmpty());
    // On the root only the root's members are extracted, from the tree's pop-up.
    clickNode("Root");
    (*dialogs_)->queueText(dest("root"));
    trigger("TreePopUpExtractPath");
    int count = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(path("root"))) {
        ++count;
    }
    EXPECT_EQ(count, 1);
    EXPECT_EQ(readText(path("root/readme.txt")), "hello");
}

TEST_F(Extract, PathStopsAtTheFirstFailingMemberWithItsMessage) {
    openArchive();
    clickNode("units");
    const QString out = dest("out");
    fs::create_directories(path("out/Makefile")); // a folder where the file would go
    (*dialogs_)->queueText(out);
    trigger("popupExtractPath");
    EXPECT_EQ(messages(), QStringList({"Error !|Error during unpacking... !"}));
    EXPECT_FALSE((*dialogs_)->calls.back().extras.details.isEmpty());
    EXPECT_EQ(readText(path("out/armcom.fbi")), "[UNITINFO]"); // extracted before it: kept
    EXPECT_EQ(window_->findChild<frmWait*>(), nullptr);
}

TEST_F(Extract, EntireArchiveRecreatesEveryDirectoryIncludingEmptyOnes) {
    openArchive();
    (*dialogs_)->queueText(dest("all"));
    trigger("mnuExtractAll");
    EXPECT_EQ(readText(path("all/readme.txt")), "hello");
    EXPECT_EQ(readText(path("all/units/sounds/boom.wav")), "RIFF");
    EXPECT_EQ(readText(path("all/units/Makefile")), "all:");
    EXPECT_TRUE(fs::is_directory(path("all/units/empty")));
    EXPECT_TRUE(fs::is_directory(path("all/nothing/deeper")));
    EXPECT_EQ(window_->findChild<frmWait*>(), nullptr);
    EXPECT_EQ(panel(1), "Ready");
    // It ends with a message offering to open the folder, and a short
    // note in the status bar.
    EXPECT_EQ(messages(), QStringList({"|4 files extracted into " + dest("all") + "."}));
    EXPECT_EQ((*dialogs_)->calls.back().extras.actionText, "Open folder");
    EXPECT_TRUE(launcher_->launches().empty());
    EXPECT_TRUE(window_->Status->currentMessage().startsWith("4 files extracted (23 bytes) in "))
        << window_->Status->currentMessage().toStdString();
    // The button opens the destination in the file manager.
    (*dialogs_)->queueText(dest("again"));
    (*dialogs_)->queueAnswer(common::MessageAnswer::Action);
    trigger("mnuExtractAll");
    EXPECT_EQ(launcher_->launches(), (std::vector<Launch>{{dest("again"), "", ""}}));
}

TEST_F(Extract, CancelStopsAfterTheMemberUnderWayAndSaysHowManyWereWritten) {
    std::vector<Member> many;
    for (int i = 0; i < 300; ++i) {
        many.push_back({"data\\file" + std::to_string(1000 + i) + ".txt",
                        std::string(4096, char('a' + i % 26))});
    }
    frmMain& w = openArchive(many);
    (*dialogs_)->queueText(dest("big"));
    // The user presses Cancel once 40 members are written.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        frmWait* wait = w.findChild<frmWait*>();
        if (wait && wait->ProgressBar1->value() >= 40) {
            EXPECT_TRUE(wait->cmdCancel->isVisible());
            QTest::mouseClick(wait->cmdCancel, Qt::LeftButton);
            watcher.stop();
        }
    });
    watcher.start(0);
    trigger("mnuExtractAll");
    EXPECT_EQ(w.findChild<frmWait*>(), nullptr);
    // Every file written is whole, and the message counts them.
    int written = 0;
    for (const auto& e : fs::directory_iterator(path("big/data"))) {
        EXPECT_EQ(fs::file_size(e.path()), 4096u) << e.path();
        ++written;
    }
    EXPECT_GE(written, 40);
    EXPECT_LT(written, 300);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], QString("|Extraction cancelled: %1 of 300 files written into %2. "
                                     "The files written are whole; the others were not extracted.")
                                 .arg(written)
                                 .arg(dest("big")));
    EXPECT_TRUE(w.Status->currentMessage().contains("cancelled"));
    EXPECT_TRUE(w.menuBar()->isEnabled());
}

TEST_F(Extract, CancellingThePathExtractionSaysHowManyWereWritten) {
    std::vector<Member> many;
    for (int i = 0; i < 100; ++i) {
        many.push_back({"f" + std::to_string(100 + i) + ".txt", "x"});
    }
    frmMain& w = openArchive(many);
    clickNode("Root");
    (*dialogs_)->queueText(dest("some"));
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        frmWait* wait = w.findChild<frmWait*>();
        if (wait && wait->ProgressBar1->value() >= 10) {
            wait->close(); // closing the progress window is a cancel too
            watcher.stop();
        }
    });
    watcher.start(0);
    trigger("mnuExtractPath");
    int written = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(path("some"))) {
        ++written;
    }
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(
        messages()[0].startsWith(QString("|Extraction cancelled: %1 of 100 files").arg(written)))
        << messages()[0].toStdString();
}

TEST_F(Extract, AnArchiveOfEmptyDirectoriesEndsWithTheWindowClosed) {
    openArchive({{"a", "", true}, {"a\\b", "", true}, {"c", "", true}});
    (*dialogs_)->queueText(dest("dirs"));
    trigger("TreePopUpExtactAll");
    EXPECT_TRUE(fs::is_directory(path("dirs/a/b")));
    EXPECT_TRUE(fs::is_directory(path("dirs/c")));
    EXPECT_EQ(window_->findChild<frmWait*>(), nullptr);
    EXPECT_EQ(messages(), QStringList({"|0 files extracted into " + dest("dirs") + "."}));
    (*dialogs_)->queueText(std::nullopt); // a cancelled chooser does nothing
    trigger("popupExtractAll");
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(Extract, HostileMemberNamesNeverEscapeTheDestination) {
    const auto p = path("hostile.hpi");
    writeArchive(
        p, {{"QQ\\evil.txt", "evil"}, {"safe\\good.txt", "good"}, {"WWWWWWWWWWW", "also evil"}});
    patchName(p, "QQ", "..");
    patchName(p, "WWWWWWWWWWW", "../../e.txt");
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(p.string()));
    ASSERT_NE(w.archiveHandle(), 0);
    const fs::path out = path("deep/out");
    fs::create_directories(out);
    (*dialogs_)->queueText(QString::fromStdString(out.string()));
    trigger("mnuExtractAll");
    EXPECT_EQ(readText(out / "safe/good.txt"), "good");
    EXPECT_FALSE(fs::exists(path("deep/evil.txt")));
    EXPECT_FALSE(fs::exists(path("e.txt")));
    // Refused like any failed member: the walk goes on, and the completion
    // message names them in its details.
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("|1 file extracted into "));
    EXPECT_TRUE(messages()[0].endsWith("2 files could not be written (see the details)."));
    EXPECT_TRUE((*dialogs_)->calls.back().extras.details.contains("..\\evil.txt"));
    // The path command refuses it as a failed member, with its message.
    clickNode("Root");
    (*dialogs_)->queueText(QString::fromStdString(out.string()));
    trigger("mnuExtractPath");
    EXPECT_EQ(messages().back(), "Error !|Error during unpacking... !");
    EXPECT_FALSE(fs::exists(path("e.txt")));
    EXPECT_FALSE(fs::exists(path("deep/e.txt")));
}

TEST_F(Extract, TheChooserReturnsItsListsPathOrNothing) {
    ensureApplication();
    const QString start = QString::fromStdString(path("ta").string());
    frmChemin chooser(nullptr, start);
    EXPECT_EQ(chooser.windowTitle(), "Select a directory...");
    EXPECT_EQ(chooser.CurRep->text(), start);
    EXPECT_EQ(chooser.Annuler->text(), "Cancel");
    fs::create_directories(path("ta/sub"));
    chooser.setCurrentPath(QString::fromStdString(path("ta/sub").string()));
    EXPECT_EQ(chooser.CurRep->text(), start + "/sub");
    QTest::mouseClick(chooser.ok, Qt::LeftButton);
    EXPECT_EQ(chooser.result(), start + "/sub");
    QTest::mouseClick(chooser.Annuler, Qt::LeftButton);
    EXPECT_EQ(chooser.result(), "");
    // The program's dialogs show it modal; cancelling gives no directory.
    CratewardDialogs dialogs;
    QTimer::singleShot(0, [] {
        if (auto* shown = qobject_cast<frmChemin*>(QApplication::activeModalWidget())) {
            shown->Annuler->click();
        }
    });
    EXPECT_FALSE(dialogs.chooseDirectory(nullptr, "Select a directory...", start));
}

} // namespace
} // namespace crateward::testing
