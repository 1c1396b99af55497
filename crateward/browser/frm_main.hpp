// The main window of the archive manager: the directory tree Tree, the entry
// list FileView, the six-panel status bar Status, the bar CoolBar holding
// Toolbar and ToolbarView, the preview panes visualisateur and WavVisu, the
// menus and pop-up menus. It owns the open archive (handle and path) from
// OpenHPI to Fermer and the instance's working directory from start-up to
// shut-down.
//
// Its procedures are spread over four files: frm_main.cpp (controls, layout,
// view and bar commands, start-up and shut-down), frm_main_menus.cpp (menus
// and bars), frm_main_archive.cpp (open, close, tree, list, recent archives)
// and frm_main_extract.cpp (the extraction commands).
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "common/settings_store.hpp"
#include "working_directory.hpp"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace crateward {

class ExtractionReport;
class FileViewControl;
class ArchivePreload;
class frmWait;
class ListFilter;
class PreviewDispatch;
class ProgramCommands;
class TreeSplitter;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Crateward";
    static constexpr int kTwipsPerPixel = 15;

    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up steps 1 to 5. False when every working directory slot is
    // taken (the message has been shown) or when the program was told to
    // end while start-up waited on a message: the program is to end.
    bool startUp(const QString& commandLine);
    // The archive of the command line, being opened since the program
    // started: step 4 takes it instead of opening the file again.
    void adoptPreload(std::unique_ptr<ArchivePreload> preload);
    // The shut-down steps (run once, however the window closes).
    void shutDown();
    // Ends the program on a termination signal: any modal dialog closes and
    // the window closes without asking anything.
    void terminate();

    // The working directory holds an unpacked archive the user is editing
    // and has not saved: nothing empties it without asking.
    bool hasUnsavedModification() const { return unsavedModification_; }
    void setUnsavedModification(bool unsaved) { unsavedModification_ = unsaved; }
    // True when the working directory holds no unsaved modification, or the
    // user agreed to discard it (then it no longer counts as one).
    bool mayDiscardModification();
    // While held (a repack or a save packs the working directory), closing
    // the archive leaves the working directory as it is.
    class WorkingDirectoryInUse {
    public:
        explicit WorkingDirectoryInUse(frmMain& window) : window_(window) { ++window_.inUse_; }
        ~WorkingDirectoryInUse() { --window_.inUse_; }
        WorkingDirectoryInUse(const WorkingDirectoryInUse&) = delete;
        WorkingDirectoryInUse& operator=(const WorkingDirectoryInUse&) = delete;

    private:
        frmMain& window_;
    };

    void OpenHPI(const QString& path);
    void Fermer();
    QString GetTreeKey() const;
    // The archive folder of the list entry at `row` with a trailing '\'
    // (empty at the root), and the entry's member path: a found entry's
    // own, else the tree's current folder's.
    QString entryFolderKey(int row) const;
    QString memberPath(int row) const;
    void AffFileInRep();
    void Load_LastHPI();
    void AddRecentArchive(const QString& path);
    void ActiveCommand(bool enable);
    void Form_Resize();
    void ExtractAll(const QString& destination);

    std::int32_t archiveHandle() const { return handle_; }
    const QString& archivePath() const { return archivePath_; }
    // The working directory with a trailing '/' (empty until claimed).
    const QString& workingDirectory() const { return workingDirectory_; }
    int lastMouseButton() const { return lastButton_; }
    QLabel* statusPanel(int panel) const { return panels_[std::size_t(panel - 1)]; }
    const common::SettingsStore& settings() const { return settings_; }
    // The program locations and launch commands, and the preview dispatch.
    ProgramCommands* programCommands() const { return programCommands_; }
    PreviewDispatch* previewDispatch() const { return previewDispatch_; }

    // Controls, named as the window's design names them.
    QTreeWidget* Tree = nullptr;
    FileViewControl* FileView = nullptr;
    QStatusBar* Status = nullptr;
    QWidget* CoolBar = nullptr;
    QToolBar* Toolbar = nullptr;
    QToolBar* ToolbarView = nullptr;
    QFrame* visualisateur = nullptr;
    QFrame* WavVisu = nullptr;
    QMenu* treePopupMenu = nullptr;
    QMenu* FileViewPopupMenu = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class BusyScope;
    friend class ListFilter;
    friend class ListKeyboard;
    friend class ListDragDrop;
    friend class MultiExtraction;

    // frm_main_menus.cpp
    void buildMenus();
    void buildBars();
    QAction* action(const char* name) const;

    // frm_main.cpp
    void restoreWindowState();
    // The window's size at a first start (no size stored yet), in pixels:
    // room for every status panel's text and the list's report columns.
    QSize firstStartSize() const;
    void TreeSplitter_Dragged(int dx);
    void saveWindowState();
    void applyViewType(int mode);
    void setViewType(int mode);
    void mnuViewToolBar_Click();
    void mnuViewStausBar_Click();
    void setLongCommandRunning(bool running);
    bool treeAndListHaveEntries() const;
    void closeArchiveHandle();

    // frm_main_archive.cpp
    void mnuOuvrir_Click();
    void mnuLastOpened_Click(QAction* entry);
    void Tree_NodeClick(QTreeWidgetItem* node);
    void Tree_CurrentChanged(QTreeWidgetItem* node);
    void showCurrentFolder();
    void FileView_ItemClick(int row);
    void FileView_DblClick(int row);
    void FileView_ColumnClick(int column);
    void fillList(const QString& directory);
    QTreeWidgetItem* nodeOfKey(const QString& key) const;
    void hidePreviewPanes();
    void mnuExpand_Click();
    void mnuCollapse_Click();

    // frm_main_extract.cpp
    void mnuExtract_Click();
    void mnuExtractPath_Click();
    void mnuExtractAll_Click();
    void extractPath(const QString& directory, const QString& destination,
                     ExtractionReport& report);
    // The whole archive below `destination`, told in `report`.
    void extractTree(const QString& destination, ExtractionReport& report);
    // The progress window; `cancellable` shows its Cancel button.
    frmWait* showWait(bool cancellable = false);
    void unloadWait();

    common::SettingsStore settings_;
    std::int32_t handle_ = 0;
    QString archivePath_;
    QString workingDirectory_;
    int lastButton_ = 0;
    qint16 archiveFileCount_ = 0;
    std::array<QLabel*, 6> panels_{};
    QWidget* client_ = nullptr;
    QRect restoredPlacement_; // twips as read at start-up
    TreeSplitter* splitter_ = nullptr;
    int treeWidth_;            // twips, set by the splitter and kept in the settings
    int treeWidthAtPress_ = 0; // pixels, when the splitter was pressed
    QActionGroup* viewGroup_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    frmWait* wait_ = nullptr;
    QTreeWidgetItem* pressedNode_ = nullptr;
    // The tree key whose entries the list shows (the root's is "Root"),
    // empty when the list shows no folder.
    QString listedKey_;
    QHash<QString, QTreeWidgetItem*> nodes_; // by key, folded to lower case
    bool longCommand_ = false;
    bool closeRequested_ = false;
    bool shutDownDone_ = false;
    bool terminating_ = false;
    bool unsavedModification_ = false;
    int inUse_ = 0;
    std::optional<WorkingDirectorySlot> slot_;
    std::unique_ptr<ArchivePreload> preload_;
    ProgramCommands* programCommands_ = nullptr;
    PreviewDispatch* previewDispatch_ = nullptr;
    ListFilter* listFilter_ = nullptr;
};

} // namespace crateward
