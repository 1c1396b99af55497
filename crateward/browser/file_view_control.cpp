#include "file_view_control.hpp"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QStackedLayout>
#include <QTreeView>

#include "file_view_model.hpp"

#include <algorithm>

namespace crateward {

FileViewControl::FileViewControl(QWidget* parent)
    : QWidget(parent), model_(new FileViewModel(this)), iconView_(new QListView(this)),
      reportView_(new QTreeView(this)), stack_(new QStackedLayout(this)) {
    setObjectName(QStringLiteral("FileView"));
    iconView_->setObjectName(QStringLiteral("FileViewIcons"));
    reportView_->setObjectName(QStringLiteral("FileViewReport"));
    stack_->setContentsMargins(0, 0, 0, 0);

    // Items are sized one by one: a uniform size would be the first
    // item's, which cuts every longer name when the first is short.
    iconView_->setUniformItemSizes(false);
    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setMovement(QListView::Static);
    iconView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Ctrl and Shift clicks pick several entries for one command.
    iconView_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    reportView_->setModel(model_);
    reportView_->setRootIsDecorated(false);
    reportView_->setUniformRowHeights(true);
    reportView_->setItemsExpandable(false);
    reportView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    reportView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    reportView_->setAllColumnsShowFocus(true);
    enableDragOut(reportView_);
    reportView_->header()->setSectionsClickable(true);
    reportView_->header()->setSectionsMovable(false);
    reportView_->header()->setSortIndicatorShown(true);
    restoreColumnWidths();
    // A refill resets the model, which resets the header's sections: the
    // column widths the user had are put back.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this,
            &FileViewControl::keepColumnWidths);
    connect(model_, &QAbstractItemModel::modelReset, this, &FileViewControl::restoreColumnWidths);
    connect(model_, &QAbstractItemModel::modelReset, this, &FileViewControl::fitItems);
    connect(model_, &QAbstractItemModel::modelReset, this, &FileViewControl::showSortIndicator);
    connect(reportView_->header(), &QHeaderView::sectionClicked, this,
            &FileViewControl::columnClicked);

    stack_->addWidget(iconView_);
    stack_->addWidget(reportView_);
    setViewMode(Report);
}

void FileViewControl::setViewMode(int mode) {
    const int selected = selectedRow();
    const QList<int> picked = selectedRows();
    mode_ = (mode >= LargeIcons && mode <= Report) ? mode : Report;
    // Only the shown view holds the model, so a refill never lays out the
    // hidden one; the selection moves across.
    QAbstractItemView* shown = currentView();
    QAbstractItemView* hidden =
        shown == reportView_ ? static_cast<QAbstractItemView*>(iconView_) : reportView_;
    if (hidden->model()) {
        if (hidden == reportView_) {
            keepColumnWidths();
        }
        hidden->setModel(nullptr);
    }
    if (!shown->model()) {
        shown->setModel(model_);
        if (shown == reportView_) {
            restoreColumnWidths();
            showSortIndicator();
        }
    }
    if (selected >= 0) {
        selectRow(selected);
        for (const int row : picked) {
            currentView()->selectionModel()->select(
                model_->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    if (mode_ == Report) {
        stack_->setCurrentWidget(reportView_);
        return;
    }
    if (mode_ == LargeIcons) {
        iconView_->setViewMode(QListView::IconMode);
        iconView_->setIconSize(QSize(32, 32));
        iconView_->setFlow(QListView::LeftToRight);
    } else {
        iconView_->setViewMode(QListView::ListMode);
        iconView_->setIconSize(QSize(16, 16));
        iconView_->setFlow(mode_ == SmallIcons ? QListView::LeftToRight : QListView::TopToBottom);
    }
    iconView_->setWordWrap(false);
    iconView_->setWrapping(true);
    iconView_->setMovement(QListView::Static);
    enableDragOut(iconView_);
    iconView_->setResizeMode(QListView::Adjust);
    fitItems();
    stack_->setCurrentWidget(iconView_);
}

void FileViewControl::fitItems() {
    if (mode_ == Report) {
        return;
    }
    // The grid is as wide as the longest name with its icon, so no name of
    // the folder is cut, whatever entry comes first and however narrow the
    // window is (the view scrolls instead).
    const QFontMetrics metrics(iconView_->font());
    int widest = 0;
    for (int row = 0; row < model_->count(); ++row) {
        const QString name = model_->data(model_->index(row, 0), Qt::DisplayRole).toString();
        widest = std::max(widest, metrics.horizontalAdvance(name));
    }
    constexpr int kPadding = 16; // item margins and focus frame
    if (mode_ == LargeIcons) {
        // The name on one line under the icon.
        iconView_->setGridSize(QSize(std::max(kLargeGridWidth, widest + kPadding),
                                     32 + metrics.height() + kPadding + 4));
    } else {
        const int minimum = mode_ == SmallIcons ? kSmallGridWidth : 0;
        iconView_->setGridSize(QSize(std::max(minimum, 16 + 4 + widest + kPadding),
                                     std::max(20, metrics.height() + 4)));
    }
}

void FileViewControl::keepColumnWidths() {
    if (reportView_->model()) {
        for (int column = 0; column < 3; ++column) {
            widths_[std::size_t(column)] = reportView_->columnWidth(column);
        }
    }
}

void FileViewControl::restoreColumnWidths() {
    for (int column = 0; column < 3; ++column) {
        reportView_->setColumnWidth(column, widths_[std::size_t(column)]);
    }
}

void FileViewControl::sortByColumn(int column, Qt::SortOrder order) {
    model_->sortByColumn(column, order);
    showSortIndicator();
}

void FileViewControl::showSortIndicator() {
    // No column chosen yet: no indicator (the entries are in the
    // library's order).
    reportView_->header()->setSortIndicator(model_->sortColumn(), model_->sortOrder());
}

void FileViewControl::enableDragOut(QAbstractItemView* view) {
    // Entries drag out as copies (the model makes the data); drops are the
    // window's to handle. A static list view turns dragging off: it is
    // turned back on after every change of its movement.
    view->setDragDropMode(QAbstractItemView::DragOnly);
    view->setDefaultDropAction(Qt::CopyAction);
    view->setDragEnabled(true);
}

QAbstractItemView* FileViewControl::currentView() const {
    return mode_ == Report ? static_cast<QAbstractItemView*>(reportView_) : iconView_;
}

int FileViewControl::selectedRow() const {
    const QItemSelectionModel* selection = currentView()->selectionModel();
    if (!selection) {
        return -1;
    }
    // The current entry when it is one of the selected, else the first.
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isSelected(current.siblingAtColumn(0))) {
        return current.row();
    }
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> FileViewControl::selectedRows() const {
    QList<int> rows;
    if (const QItemSelectionModel* selection = currentView()->selectionModel()) {
        for (const QModelIndex& index : selection->selectedIndexes()) {
            rows.append(index.row());
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void FileViewControl::selectRow(int row) {
    const QModelIndex index = model_->index(row, 0);
    currentView()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
}

} // namespace crateward
