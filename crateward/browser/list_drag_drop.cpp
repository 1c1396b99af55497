#include "list_drag_drop.hpp"

#include <QAbstractItemView>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListView>
#include <QMimeData>
#include <QStatusBar>
#include <QTreeView>
#include <QTreeWidget>

#include <filesystem>
#include <system_error>

#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "mod_hpiutil.hpp"
#include "preview_dispatch.hpp"
#include "working_copy.hpp"

namespace crateward {

namespace {

namespace fs = std::filesystem;

constexpr int kStatusMessageMs = 15000;

bool startsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (fold(text[i]) != fold(prefix[i])) {
            return false;
        }
    }
    return true;
}

QList<QString> localPaths(const QMimeData* data) {
    QList<QString> paths;
    if (!data || !data->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            paths.append(url.toLocalFile());
        }
    }
    return paths;
}

fs::path diskPath(const QString& path) {
    return fs::path(QFile::encodeName(path).toStdString());
}

// True when `inner` is `outer` or lies below it.
bool within(const QString& inner, const QString& outer) {
    const QString a = QFileInfo(inner).canonicalFilePath();
    const QString b = QFileInfo(outer).canonicalFilePath();
    return !a.isEmpty() && !b.isEmpty() && (a == b || a.startsWith(b + QLatin1Char('/')));
}

} // namespace

ListDragDrop::ListDragDrop(frmMain& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("ListDragDrop"));
    window.FileView->model()->setDragDataMaker(
        [this](const QList<int>& rows) { return dragData(rows); });
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    window.FileView->setAcceptDrops(true);
    window.FileView->installEventFilter(this);
}

QMimeData* ListDragDrop::dragData(const QList<int>& rows) {
    const std::int32_t handle = window_.archiveHandle();
    const QString& work = window_.workingDirectory();
    if (handle == 0 || work.isEmpty() || rows.isEmpty()) {
        return nullptr;
    }
    const bool modifying = window_.previewDispatch()->modifying();
    const FileViewModel* model = window_.FileView->model();
    std::vector<hpi::ListEntry> all;
    bool walked = false;
    QList<QUrl> urls;
    for (const int row : rows) {
        if (row < 0 || row >= model->count()) {
            continue;
        }
        const QString member = window_.memberPath(row);
        const bool folder = model->entry(row).type == QLatin1String("Directory");
        std::optional<QString> copy;
        if (!folder) {
            copy = ExtractedCopy(handle, work, member, modifying);
        } else {
            copy = WorkingCopyPath(work, member);
            if (copy && !modifying) {
                // Everything below the folder, fresh from the archive.
                if (!walked) {
                    hpi::ListEntry entry;
                    std::int32_t index = 0;
                    while ((index = hpi::GetFiles(handle, index, entry)) != 0) {
                        all.push_back(entry);
                    }
                    walked = true;
                }
                QDir().mkpath(*copy);
                const std::string prefix = member.toStdString() + "\\";
                for (const hpi::ListEntry& inside : all) {
                    if (!startsWithFolded(inside.name, prefix)) {
                        continue;
                    }
                    const QString name = QString::fromStdString(inside.name);
                    if (inside.type == hpi::kDirectory) {
                        if (const auto sub = WorkingCopyPath(work, name)) {
                            QDir().mkpath(*sub);
                        }
                    } else {
                        CopyMember(handle, work, name, CopyMode::Replace);
                    }
                }
            }
        }
        if (copy && QFileInfo::exists(*copy)) {
            urls.append(QUrl::fromLocalFile(*copy));
        }
    }
    if (urls.isEmpty()) {
        return nullptr;
    }
    auto* data = new QMimeData;
    data->setUrls(urls);
    return data;
}

QString ListDragDrop::shownTreeFolder() const {
    if (!window_.previewDispatch()->modifying() || window_.FileView->model()->showsFound() ||
        window_.workingDirectory().isEmpty() || window_.Tree->currentItem() == nullptr) {
        return {};
    }
    QString key = window_.GetTreeKey();
    if (key.isEmpty()) {
        return window_.workingDirectory();
    }
    key.chop(1);
    return WorkingCopyPath(window_.workingDirectory(), key).value_or(QString());
}

ListDragDrop::DropKind ListDragDrop::kindOf(QObject* target, const QDropEvent& event) const {
    if (window_.longCommand_ || !window_.isEnabled()) {
        return DropKind::None;
    }
    // The list's own entries dragged over it are not dropped back in.
    auto* source = qobject_cast<QAbstractItemView*>(event.source());
    if (source &&
        (source == window_.FileView->iconView() || source == window_.FileView->reportView())) {
        return DropKind::None;
    }
    const QList<QString> paths = localPaths(event.mimeData());
    if (paths.isEmpty()) {
        return DropKind::None;
    }
    if (target == window_.FileView && !shownTreeFolder().isEmpty()) {
        return DropKind::CopyIntoTree;
    }
    if (paths.size() == 1 && QFileInfo(paths.first()).isFile()) {
        return DropKind::OpenArchive;
    }
    return DropKind::None;
}

bool ListDragDrop::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const DropKind kind = kindOf(watched, *drop);
    if (kind == DropKind::None) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type != QEvent::Drop) {
        return true;
    }
    const QList<QUrl> urls = drop->mimeData()->urls();
    // The drag's source waits for the drop to return: the work runs after.
    if (kind == DropKind::OpenArchive) {
        const QString path = urls.first().toLocalFile();
        QMetaObject::invokeMethod(
            this, [this, path] { openArchive(path); }, Qt::QueuedConnection);
    } else {
        QMetaObject::invokeMethod(
            this, [this, urls] { copyIntoTree(urls); }, Qt::QueuedConnection);
    }
    return true;
}

void ListDragDrop::openArchive(const QString& path) {
    // As "Open an HPI file" does with the chosen file.
    window_.Fermer();
    window_.OpenHPI(path);
    if (window_.archiveHandle() != 0) {
        window_.AddRecentArchive(path);
        window_.Load_LastHPI();
    }
}

void ListDragDrop::copyIntoTree(const QList<QUrl>& urls) {
    const QString folder = shownTreeFolder();
    if (folder.isEmpty()) {
        return;
    }
    int copied = 0;
    QStringList failed;
    for (const QUrl& url : urls) {
        const QString source = url.toLocalFile();
        const QFileInfo info(source);
        const QString target = QDir(folder).filePath(info.fileName());
        if (!info.exists() || info.fileName().isEmpty()) {
            continue;
        }
        // A folder dropped into itself would copy without end.
        if (info.isDir() && within(folder, source)) {
            failed << info.fileName();
            continue;
        }
        if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
            if (within(source, target)) {
                continue; // already there
            }
            const auto answer = common::Dialogs::current().message(
                &window_,
                QStringLiteral("\"%1\" is already in this folder of the archive. Replace it?")
                    .arg(info.fileName()),
                QString(), common::MessageIcon::Question, common::MessageButtons::YesNo);
            if (answer != common::MessageAnswer::Yes) {
                continue;
            }
        }
        std::error_code ec;
        const fs::path to = diskPath(target);
        fs::remove_all(to, ec);
        if (info.isDir()) {
            fs::copy(diskPath(source), to, fs::copy_options::recursive, ec);
        } else {
            fs::copy_file(diskPath(source), to, fs::copy_options::overwrite_existing, ec);
        }
        if (ec) {
            failed << info.fileName();
        } else {
            ++copied;
        }
    }
    if (copied > 0) {
        window_.setUnsavedModification(true);
    }
    QString text =
        QStringLiteral("%1 copied into the modified archive's folder; \"Save modified "
                       "HPI\" packs them")
            .arg(copied == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(copied));
    if (!failed.isEmpty()) {
        text += QStringLiteral(", not copied: ") + failed.join(QStringLiteral(", "));
    }
    window_.Status->showMessage(text, kStatusMessageMs);
}

} // namespace crateward
