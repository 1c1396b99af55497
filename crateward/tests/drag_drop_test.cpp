// Entries dragged out of the list as copies, archives dropped on the window,
// and files dropped into the tree of a modification.
#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "gui_harness.hpp"
#include "preview_dispatch.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<Member> kMembers = {
    {"units\\armcom.fbi", "[UNITINFO] arm"},
    {"units\\corcom.fbi", "[UNITINFO] cor"},
    {"units\\sounds\\boom.wav", "RIFF boom"},
    {"units\\sounds\\deep\\x.3do", "3do"},
};

using testsupport::readText;

class DragDrop : public WindowTest {
protected:
    frmMain& openArchive() { return openFixture(kMembers); }
    // What the view hands to a drag of its selected entries.
    std::unique_ptr<QMimeData> dragOfSelection() {
        QAbstractItemView* view = window_->FileView->currentView();
        return std::unique_ptr<QMimeData>(
            window_->FileView->model()->mimeData(view->selectionModel()->selectedIndexes()));
    }
    // Drops local files on `target` as a file manager would; true when the
    // drop was taken.
    bool drop(QWidget* target, const std::vector<fs::path>& files) {
        QMimeData data;
        QList<QUrl> urls;
        for (const auto& f : files) {
            urls << QUrl::fromLocalFile(QString::fromStdString(f.string()));
        }
        data.setUrls(urls);
        const QPointF at(target->width() / 2, target->height() / 2);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        QApplication::processEvents();
        return dropped.isAccepted();
    }
};

TEST_F(DragDrop, DraggingTwoEntriesGivesTheirExtractedCopies) {
    frmMain& w = openArchive();
    clickNode("units");
    clickEntry("armcom.fbi");
    const QModelIndex cor = w.FileView->model()->index(w.FileView->model()->rowOf("corcom.fbi"), 0);
    QAbstractItemView* view = w.FileView->currentView();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view->visualRect(cor).center());
    EXPECT_TRUE(w.FileView->model()->flags(cor) & Qt::ItemIsDragEnabled);
    EXPECT_EQ(w.FileView->model()->mimeTypes(), QStringList({"text/uri-list"}));
    const auto data = dragOfSelection();
    ASSERT_TRUE(data);
    const QList<QUrl> urls = data->urls();
    ASSERT_EQ(urls.size(), 2);
    EXPECT_TRUE(urls[0].isLocalFile());
    EXPECT_EQ(QFileInfo(urls[0].toLocalFile()).fileName(), "armcom.fbi");
    EXPECT_EQ(readText(urls[0].toLocalFile().toStdString()), "[UNITINFO] arm");
    EXPECT_EQ(readText(urls[1].toLocalFile().toStdString()), "[UNITINFO] cor");
    // The copies are in the working directory, nowhere else.
    EXPECT_TRUE(urls[0].toLocalFile().startsWith(w.workingDirectory()));
    // A folder goes with everything below it.
    clickEntry("sounds");
    const auto folder = dragOfSelection();
    ASSERT_TRUE(folder);
    ASSERT_EQ(folder->urls().size(), 1);
    const fs::path sounds = folder->urls()[0].toLocalFile().toStdString();
    EXPECT_EQ(sounds.filename(), "sounds");
    EXPECT_EQ(readText(sounds / "boom.wav"), "RIFF boom");
    EXPECT_EQ(readText(sounds / "deep" / "x.3do"), "3do");
}

TEST_F(DragDrop, AnArchiveDroppedOnTheWindowOpens) {
    frmMain& w = openArchive();
    const auto other = path("b.hpi");
    writeArchive(other, {{"b.txt", "b"}});
    EXPECT_TRUE(drop(&w, {other}));
    EXPECT_EQ(w.archivePath(), QString::fromStdString(other.string()));
    EXPECT_EQ(listColumn(0), QStringList({"b.txt"}));
    // A file that is no archive gives the usual message and no archive.
    const auto junk = path("junk.hpi");
    testsupport::writeFile(junk, "not an archive");
    EXPECT_TRUE(drop(w.FileView, {junk}));
    EXPECT_EQ(w.archiveHandle(), 0);
    EXPECT_EQ(messages(), QStringList({"Error oppening file !|It's not a valid HPI archive !"}));
    // Folders or several files are not archives to open.
    EXPECT_FALSE(drop(&w, {path("")}));
    EXPECT_FALSE(drop(&w, {other, other}));
}

TEST_F(DragDrop, FilesDroppedDuringAModificationGoIntoTheShownFolderAskingBeforeReplacing) {
    frmMain& w = openArchive();
    // Outside a modification the list takes no files into the archive.
    const auto newFile = path("new.fbi");
    testsupport::writeFile(newFile, "new");
    clickNode("units");
    EXPECT_TRUE(drop(w.FileView, {newFile})); // opened as an archive instead
    EXPECT_TRUE(messages().contains("Error oppening file !|It's not a valid HPI archive !"));
    w.OpenHPI(QString::fromStdString(path("a.hpi").string()));
    trigger("mnuModifierHPI");
    ASSERT_TRUE(w.previewDispatch()->modifying());
    clickNode("units");
    const fs::path unpacked = fs::path(w.workingDirectory().toStdString()) / "units";
    ASSERT_EQ(readText(unpacked / "armcom.fbi"), "[UNITINFO] arm");
    // A new file and a folder are copied in.
    fs::create_directories(path("maps/sub"));
    testsupport::writeFile(path("maps/sub/m.tnt"), "map");
    EXPECT_TRUE(drop(w.FileView, {newFile, path("maps")}));
    EXPECT_EQ(readText(unpacked / "new.fbi"), "new");
    EXPECT_EQ(readText(unpacked / "maps" / "sub" / "m.tnt"), "map");
    EXPECT_TRUE(w.hasUnsavedModification());
    // A name already there: "No" keeps it, "Yes" replaces it.
    const auto armcom = path("drop/armcom.fbi");
    testsupport::writeFile(armcom, "replaced");
    const auto asked = messages().size();
    (*dialogs_)->queueAnswer(common::MessageAnswer::No);
    drop(w.FileView, {armcom});
    EXPECT_EQ(messages().size(), asked + 1);
    EXPECT_TRUE(messages().back().contains("\"armcom.fbi\" is already in this folder"));
    EXPECT_EQ(readText(unpacked / "armcom.fbi"), "[UNITINFO] arm");
    (*dialogs_)->queueAnswer(common::MessageAnswer::Yes);
    drop(w.FileView, {armcom});
    EXPECT_EQ(readText(unpacked / "armcom.fbi"), "replaced");
    // Saving packs what was dropped.
    trigger("mnuSaveModifNOcompress");
    w.OpenHPI(QString::fromStdString(path("a.hpi").string()));
    clickNode("units");
    EXPECT_GE(w.FileView->model()->rowOf("new.fbi"), 0);
    EXPECT_GE(w.FileView->model()->rowOf("maps"), 0);
}

} // namespace
} // namespace crateward::testing
