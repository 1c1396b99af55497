// Opening and closing an archive, its directory tree and entry list, and
// the recent-archive entries of the File menu.
#include "archive_preload.hpp"
#include "class_export_param.hpp"
#include "frm_main.hpp"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "image_list.hpp"
#include "list_filter.hpp"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"
#include "preview_dispatch.hpp"
#include "recent_archives.hpp"
#include "settings_keys.hpp"

namespace crateward {

namespace {

constexpr int kKeyRole = Qt::UserRole;
const QString kRootKey = QStringLiteral("Root");

QString keyOf(const QTreeWidgetItem* node) {
    return node->data(0, kKeyRole).toString();
}

std::string diskName(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

QTreeWidgetItem* frmMain::nodeOfKey(const QString& key) const {
    return nodes_.value(key.toLower(), nullptr);
}

void frmMain::OpenHPI(const QString& path) {
    // 1.
    if (!QFileInfo(path).isFile()) {
        return;
    }
    // 2.
    QCoreApplication::processEvents();
    if (!workingDirectory_.isEmpty()) {
        QDir().mkpath(workingDirectory_);
    }
    // 3.
    Fermer();
    // 4.
    archivePath_ = path;
    const std::string archiveFile = diskName(path);
    ExportParam().HPIchemin = archiveFile;
    // The archive named on the command line was opened and listed while the
    // window was built; any other is opened and listed now.
    ArchiveListing listing;
    if (preload_ && preload_->archiveFile() == archiveFile) {
        listing = preload_->take();
    } else {
        listing = ListArchive(archiveFile);
    }
    preload_.reset();
    handle_ = listing.handle;
    // 5.
    if (handle_ == 0) {
        archivePath_.clear();
        common::Dialogs::current().message(this, QStringLiteral("It's not a valid HPI archive !"),
                                           QStringLiteral("Error oppening file !"),
                                           common::MessageIcon::Critical,
                                           common::MessageButtons::Ok);
        return;
    }
    // 6. Parents come before their contents; a node whose parent is missing
    //    or whose key is taken is skipped.
    //    The nodes are built apart from the tree and handed to it at once.
    auto* root = new QTreeWidgetItem(QStringList(path));
    root->setData(0, kKeyRole, kRootKey);
    root->setIcon(0, ImageListIcon(9));
    nodes_.insert(kRootKey.toLower(), root);
    const QIcon folder = ImageListIcon(1);
    statusPanel(1)->setText(QStringLiteral("Loading file..."));
    for (const std::string& directory : listing.directories) {
        const QString key = QString::fromStdString(directory);
        const int cut = key.lastIndexOf(QLatin1Char('\\'));
        QTreeWidgetItem* parent = cut < 0 ? root : nodeOfKey(key.left(cut));
        if (parent && !key.isEmpty() && !nodes_.contains(key.toLower())) {
            auto* node = new QTreeWidgetItem(parent, QStringList(key.mid(cut + 1)));
            node->setData(0, kKeyRole, key);
            node->setIcon(0, folder);
            nodes_.insert(key.toLower(), node);
        }
    }
    archiveFileCount_ = qint16(listing.fileCount);
    // 7. The root and the top-level directories show.
    Tree->addTopLevelItem(root);
    root->setExpanded(true);
    // 8.
    statusPanel(2)->setText(path);
    statusPanel(3)->setText(QString::number(archiveFileCount_) + QStringLiteral(" files in HPI"));
    ActiveCommand(true);
    setWindowTitle(QLatin1String(kTitle) + QStringLiteral("  -  ") + path);
    Tree->setCurrentItem(root);
    statusPanel(1)->setText(QStringLiteral("Ready"));
    // The views lay their new items out now rather than at their next
    // turn of the event loop, so the window draws tree and list in one go.
    Tree->doItemsLayout();
    FileView->currentView()->doItemsLayout();
}

void frmMain::closeArchiveHandle() {
    hpi::Close(handle_);
    handle_ = 0;
}

void frmMain::Fermer() {
    setWindowTitle(QLatin1String(kTitle));
    ActiveCommand(false);
    closeArchiveHandle();
    archiveFileCount_ = 0;
    Tree->clear();
    nodes_.clear();
    pressedNode_ = nullptr;
    listedKey_.clear();
    listFilter_->reset();
    FileView->model()->clear();
    for (QLabel* panel : panels_) {
        panel->clear();
    }
    // No modification is under way once the archive is closed.
    for (const char* name : {"RepackNO", "RepackLZ77", "RepackZLIB", "mnuExtract", "mnuExtractPath",
                             "mnuExtractAll", "mnuModifierHPI"}) {
        action(name)->setEnabled(true);
    }
    findChild<QMenu*>(QStringLiteral("mnuSaveModif"))->menuAction()->setEnabled(false);
    Toolbar->findChild<QAction*>(QStringLiteral("Save"))->setEnabled(false);
    hidePreviewPanes();
    Form_Resize();
    // Copies of members belong to the archive they came from: the next
    // archive never finds this one's. An unpacked tree that is being
    // packed, or that holds the user's unsaved edits, stays.
    if (slot_ && inUse_ == 0 && !unsavedModification_) {
        EmptyWorkingDirectory(slot_->folder());
    }
}

QString frmMain::GetTreeKey() const {
    const QTreeWidgetItem* node = Tree->currentItem();
    if (!node || keyOf(node) == kRootKey) {
        return {};
    }
    return keyOf(node) + QLatin1Char('\\');
}

void frmMain::hidePreviewPanes() {
    visualisateur->hide();
    WavVisu->hide();
}

void frmMain::Tree_NodeClick(QTreeWidgetItem* node) {
    if (Tree->topLevelItemCount() == 0 || !node) {
        return;
    }
    hidePreviewPanes();
    Form_Resize();
    if (lastButton_ >= 2) {
        showCurrentFolder();
        treePopupMenu->popup(QCursor::pos());
        return;
    }
    fillList(keyOf(node) == kRootKey ? QString() : keyOf(node));
}

void frmMain::Tree_CurrentChanged(QTreeWidgetItem* node) {
    // A mouse button held over the tree: the click rules decide when the
    // release comes. Anything else (the keyboard, a command) shows the new
    // current folder at once, so the list always belongs to the key that
    // the list's commands read.
    if (!node ||
        (QGuiApplication::mouseButtons() != Qt::NoButton && Tree->viewport()->underMouse())) {
        return;
    }
    showCurrentFolder();
}

void frmMain::showCurrentFolder() {
    const QTreeWidgetItem* node = Tree->currentItem();
    if (!node || Tree->topLevelItemCount() == 0 || keyOf(node) == listedKey_) {
        return;
    }
    hidePreviewPanes();
    Form_Resize();
    AffFileInRep();
}

void frmMain::AffFileInRep() {
    const QTreeWidgetItem* node = Tree->currentItem();
    if (!node) {
        return;
    }
    // The root's directory path is the empty text (its key names no
    // directory of the archive).
    fillList(keyOf(node) == kRootKey ? QString() : keyOf(node));
}

void frmMain::fillList(const QString& directory) {
    listFilter_->forget(); // a folder shown ends a find
    FileViewModel* model = FileView->model();
    model->beginFill();
    std::int32_t files = 0;
    const bool atRoot = directory.isEmpty();
    hpi::ListEntry entry;
    std::int32_t index = 0;
    const std::string dir = directory.toStdString();
    while ((index = hpi::Dir(handle_, index, dir, entry)) != 0) {
        const bool isDirectory = entry.type == hpi::kDirectory;
        if (!isDirectory) {
            ++files;
        }
        if (atRoot && entry.name.find('\\') != std::string::npos) {
            continue;
        }
        model->addEntry(entry.name, isDirectory, entry.size); // a duplicate key is skipped
    }
    model->endFill();
    const QTreeWidgetItem* current = Tree->currentItem();
    listedKey_ = current ? keyOf(current) : QString();
    statusPanel(5)->setText(GetTreeKey());
    statusPanel(4)->setText(QString::number(files) + QStringLiteral(" files in this path"));
}

void frmMain::FileView_ItemClick(int row) {
    if (!treeAndListHaveEntries() || row < 0 || row >= FileView->model()->count()) {
        return;
    }
    previewDispatch_->FileView_ItemClick(row);
    // A folder has no bytes to dump.
    const bool isFolder = FileView->model()->entry(row).type == QLatin1String("Directory");
    for (const char* name : {"mnuHexDump", "popupHexDump"}) {
        action(name)->setEnabled(!isFolder);
    }
    if (lastButton_ >= 2) {
        FileViewPopupMenu->popup(QCursor::pos());
    }
    lastButton_ = 0;
    statusPanel(6)->setText(FileView->model()->entry(row).name);
}

void frmMain::FileView_DblClick(int row) {
    if (row < 0 || row >= FileView->model()->count()) {
        return;
    }
    const FileViewEntry entry = FileView->model()->entry(row);
    if (entry.type != QLatin1String("Directory")) {
        previewDispatch_->FileView_DblClick(row);
        return;
    }
    QTreeWidgetItem* node = nodeOfKey(memberPath(row));
    if (!node) {
        return;
    }
    for (QTreeWidgetItem* up = node->parent(); up; up = up->parent()) {
        up->setExpanded(true);
    }
    Tree->setCurrentItem(node);
    Tree->scrollToItem(node);
    AffFileInRep();
}

void frmMain::FileView_ColumnClick(int column) {
    if (Tree->topLevelItemCount() == 0) {
        // Nothing to sort: the header keeps showing the order in force.
        FileView->sortByColumn(FileView->model()->sortColumn(), FileView->model()->sortOrder());
        return;
    }
    // A second click on the sorting column reverses its order.
    const FileViewModel* model = FileView->model();
    const bool reverse = model->sortColumn() == column && model->sortOrder() == Qt::AscendingOrder;
    FileView->sortByColumn(column, reverse ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void frmMain::mnuExpand_Click() {
    Tree->expandAll();
}

void frmMain::mnuCollapse_Click() {
    Tree->collapseAll();
    if (QTreeWidgetItem* root = nodeOfKey(kRootKey)) {
        root->setExpanded(true);
    }
}

void frmMain::mnuOuvrir_Click() {
    const auto chosen =
        common::Dialogs::current().openFile(this, QStringLiteral("Select an HPI archive..."),
                                            QStringLiteral("HPI archive|*.hpi;*.ccx;*.ufo;*.gp?"),
                                            QString::fromStdString(GameDirectory()));
    if (!chosen) {
        return;
    }
    Fermer();
    OpenHPI(*chosen);
    AddRecentArchive(*chosen);
    Load_LastHPI();
}

void frmMain::AddRecentArchive(const QString& path) {
    PushRecentArchive(settings_, path.toStdString());
}

void frmMain::Load_LastHPI() {
    for (QAction* entry : findChildren<QAction*>(QStringLiteral("mnuLastOpened"))) {
        if (entry->data().toInt() > 0) {
            delete entry;
        }
    }
    for (int i = 1; i <= kRecentCount; ++i) {
        const QString path =
            QString::fromStdString(settings_.read(kApp, kRecent, std::to_string(i)));
        if (path.isEmpty()) {
            continue;
        }
        auto* entry =
            new QAction(QString(path).replace(QLatin1Char('&'), QStringLiteral("&&")), this);
        entry->setObjectName(QStringLiteral("mnuLastOpened"));
        entry->setData(i);
        entry->setProperty("Caption", path);
        fileMenu_->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, entry] { mnuLastOpened_Click(entry); });
    }
}

void frmMain::mnuLastOpened_Click(QAction* entry) {
    const QString path = entry->property("Caption").toString();
    Fermer();
    if (QFileInfo(path).isFile()) {
        OpenHPI(path);
    }
}

} // namespace crateward
