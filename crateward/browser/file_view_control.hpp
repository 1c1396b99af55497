// The list control FileView: one FileViewModel shown by a QListView in the
// large icon, small icon and list modes and by a QTreeView in report mode
// (columns "File Name", "Type", "Size"). The pair is one control named
// "FileView"; the two views share the model and the selection.
#pragma once

#include <QList>
#include <QWidget>

#include <array>

class QAbstractItemView;
class QListView;
class QStackedLayout;
class QTreeView;

namespace crateward {

class FileViewModel;

class FileViewControl : public QWidget {
    Q_OBJECT
public:
    // The four modes, as stored under "View Type".
    enum Mode { LargeIcons = 0, SmallIcons = 1, List = 2, Report = 3 };

    explicit FileViewControl(QWidget* parent = nullptr);

    void setViewMode(int mode);
    int viewMode() const { return mode_; }

    FileViewModel* model() const { return model_; }
    // The view now shown, and both views (for event filters).
    QAbstractItemView* currentView() const;
    QListView* iconView() const { return iconView_; }
    QTreeView* reportView() const { return reportView_; }

    // Sorts the entries by `column` in `order` and shows the usual
    // indicator on that column's header.
    void sortByColumn(int column, Qt::SortOrder order);

    // Row of the selected entry (-1 when none): with several selected, the
    // current one (else the first).
    int selectedRow() const;
    // Rows of every selected entry, in list order.
    QList<int> selectedRows() const;
    void selectRow(int row);

signals:
    // A click on the report view's column header (column 0 to 2).
    void columnClicked(int column);

private:
    // The narrowest grids of the icon modes, for folders of short names.
    static constexpr int kLargeGridWidth = 110;
    static constexpr int kSmallGridWidth = 190;

    // Sizes the icon view's grid to the folder's longest name.
    void fitItems();
    static void enableDragOut(QAbstractItemView* view);
    void keepColumnWidths();
    void restoreColumnWidths();
    void showSortIndicator();

    FileViewModel* model_;
    QListView* iconView_;
    QTreeView* reportView_;
    QStackedLayout* stack_;
    int mode_ = Report;
    std::array<int, 3> widths_{220, 100, 80}; // report columns, kept across refills
};

} // namespace crateward
