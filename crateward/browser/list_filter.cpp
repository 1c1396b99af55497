#include "list_filter.hpp"

#include <QAbstractItemView>
#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>

#include <algorithm>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "mod_hpiutil.hpp"
#include "name_matcher.hpp"

namespace crateward {

namespace {

constexpr int kFolderWidth = 220;
constexpr int kSizeWidth = 90;

} // namespace

ListFilter::ListFilter(frmMain& window)
    : QObject(&window), window_(window), box_(new QLineEdit(window.client_)),
      find_(new QAction(QStringLiteral("&Find..."), &window)) {
    setObjectName(QStringLiteral("ListFilter"));
    box_->setObjectName(QStringLiteral("FileFilter"));
    box_->setPlaceholderText(
        QStringLiteral("Find in the archive by name or wildcard (*.fbi, arm*.3do)"));
    // The clear button shows only over text, so it is made with the first
    // text: its picture would cost an icon theme search at start-up.
    connect(box_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && !box_->isClearButtonEnabled()) {
            box_->setClearButtonEnabled(true);
        }
    });
    box_->installEventFilter(this);
    connect(box_, &QLineEdit::textChanged, this, &ListFilter::apply);

    find_->setObjectName(QStringLiteral("mnuFind"));
    find_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    find_->setShortcutContext(Qt::WindowShortcut);
    window.addAction(find_);
    if (QMenu* view = window.findChild<QMenu*>(QStringLiteral("mnuView"))) {
        view->addSeparator();
        view->addAction(find_);
    }
    connect(find_, &QAction::triggered, this, &ListFilter::focusBox);
}

void ListFilter::focusBox() {
    box_->setFocus(Qt::ShortcutFocusReason);
    box_->selectAll();
}

void ListFilter::focusList() {
    QAbstractItemView* view = window_.FileView->currentView();
    view->setFocus(Qt::OtherFocusReason);
    if (window_.FileView->selectedRow() < 0 && window_.FileView->model()->count() > 0) {
        window_.FileView->selectRow(0);
    }
}

bool ListFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == box_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            box_->clear();
            focusList();
            return true;
        }
        if (key == Qt::Key_Down || key == Qt::Key_Return || key == Qt::Key_Enter) {
            // On to the entries found.
            focusList();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ListFilter::readArchive() {
    names_.clear();
    members_.clear();
    readHandle_ = window_.archiveHandle();
    hpi::ListEntry entry;
    std::int32_t index = 0;
    while ((index = hpi::GetFiles(readHandle_, index, entry)) != 0) {
        if (entry.name.empty() || names_.size() + entry.name.size() > UINT32_MAX) {
            continue;
        }
        Member m;
        m.offset = std::uint32_t(names_.size());
        m.length = std::uint32_t(entry.name.size());
        const auto cut = entry.name.rfind('\\');
        m.nameStart = cut == std::string::npos ? 0 : std::uint32_t(cut + 1);
        m.size = entry.size;
        m.directory = entry.type == hpi::kDirectory;
        names_.append(entry.name);
        members_.push_back(m);
    }
}

void ListFilter::apply(const QString& pattern) {
    if (window_.archiveHandle() == 0) {
        return;
    }
    const NameMatcher matcher(pattern);
    FileViewModel* model = window_.FileView->model();
    if (matcher.empty()) {
        if (model->showsFound()) {
            window_.AffFileInRep();
        }
        return;
    }
    if (readHandle_ != window_.archiveHandle()) {
        readArchive();
    }
    model->beginFill(true);
    std::int32_t files = 0;
    const std::string_view names(names_);
    for (const Member& m : members_) {
        const std::string_view path = names.substr(m.offset, m.length);
        if (matcher.matches(path.substr(m.nameStart))) {
            if (model->addFoundEntry(path, m.nameStart, m.directory, m.size) && !m.directory) {
                ++files;
            }
        }
    }
    model->endFill();
    // Any folder the tree shows next refills the list.
    window_.listedKey_.clear();
    // The size column, last and stretched in the folder view, leaves the
    // folder column room on the screen.
    QTreeView* report = window_.FileView->reportView();
    report->setColumnWidth(2, std::min(report->columnWidth(2), kSizeWidth));
    report->setColumnWidth(3, kFolderWidth);
    window_.statusPanel(4)->setText(QString::number(files) + QStringLiteral(" files found"));
    window_.statusPanel(5)->clear();
}

void ListFilter::forget() {
    if (!box_->text().isEmpty()) {
        const QSignalBlocker quiet(box_);
        box_->clear();
    }
}

void ListFilter::reset() {
    forget();
    names_.clear();
    names_.shrink_to_fit();
    members_.clear();
    members_.shrink_to_fit();
    readHandle_ = 0;
}

} // namespace crateward
