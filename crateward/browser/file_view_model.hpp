// The entries of the selected directory as the list FileView shows them:
// columns "File Name", "Type" and "Size", an icon from the image list, and a
// sort by one column (names and types by their text, sizes as numbers),
// ascending or descending. Names are kept in one buffer and the shown
// texts are made when a view asks for them, so a directory of thousands of
// entries fills in about the time the library takes to list it.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace crateward {

// One entry as shown.
struct FileViewEntry {
    QString name; // key and text
    QString type; // "Directory" or "<EXT> File"
    QString size; // empty for a directory
    int icon = 2;
    // A found entry's archive folder ("units\sounds", empty at the root);
    // empty for the entries of one folder.
    QString folder;
};

class FileViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The texts of an entry: the type column is "Directory", or the
    // upper-cased extension and " File"; the size is empty for a directory.
    static FileViewEntry makeEntry(const QString& name, bool directory, qint64 size);

    // Refilling: beginFill() empties the list, addEntry() adds an entry
    // unless its key (the name, without regard to case) is already there,
    // endFill() sorts by the chosen column and shows the result.
    // A fill of found entries (`found`) adds them with addFoundEntry() and
    // shows a fourth column "Folder".
    void beginFill(bool found = false);
    bool addEntry(std::string_view name, bool directory, std::int32_t size);
    // A found entry: `memberPath` is its whole path in the archive, whose
    // name starts at `nameStart`; the path is its key.
    bool addFoundEntry(std::string_view memberPath, std::size_t nameStart, bool directory,
                       std::int32_t size);
    // The list shows found entries from anywhere in the archive.
    bool showsFound() const { return found_; }
    void endFill();
    void clear();

    FileViewEntry entry(int row) const;
    int count() const { return int(rows_.size()); }
    // Row of the entry whose key is `name` (-1 when absent).
    int rowOf(const QString& name) const;

    // Sorts by `column` (0 name, 1 type, 2 size, 3 folder of found entries)
    // in `order` and keeps later fills sorted so. Names, types and folders
    // compare as text without regard to case; sizes as numbers, folders (no
    // size) below every file. The folder order ends with the find.
    void sortByColumn(int column, Qt::SortOrder order = Qt::AscendingOrder);
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Dragging entries out: `maker` turns the dragged rows into the drag's
    // data (the window sets it; without it nothing drags).
    void setDragDataMaker(std::function<QMimeData*(const QList<int>& rows)> maker) {
        dragDataMaker_ = std::move(maker);
    }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    struct Row {
        std::uint32_t nameOffset = 0;
        std::uint32_t nameLength = 0;
        std::int32_t size = 0;
        std::uint32_t folderLength = 0; // "folder\" stored before a found entry's name
        bool directory = false;
    };
    std::string_view nameOf(const Row& row) const;
    std::string_view keyOf(const Row& row) const;
    bool appendRow(std::string_view text, std::size_t nameStart, bool directory, std::int32_t size);
    QString textOf(const Row& row, int column) const;
    void sortRows();
    bool insertKey(std::uint32_t row);

    std::string names_;
    std::vector<Row> rows_;
    std::vector<std::int32_t> keySlots_; // open addressing over rows_, -1 = free
    int sortColumn_ = -1;
    bool found_ = false;
    std::function<QMimeData*(const QList<int>& rows)> dragDataMaker_;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace crateward
