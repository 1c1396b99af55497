// The entries of the selected directory as the list FileView shows them:
// columns "File Name", "Type" and "Size", an icon from the image list, and a
// sort by one column's text. One flat table, so a directory of thousands of
// entries is filled in one reset.
#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace crateward {

struct FileViewEntry {
    QString name; // key and text
    QString type; // "Directory" or "<EXT> File"
    QString size; // empty for a directory
    int icon = 2;
};

class FileViewModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The entry of a listing: directory or file with its size.
    static FileViewEntry makeEntry(const QString& name, bool directory, qint64 size);

    // Replaces every entry, keeping the sort column when one was chosen.
    void setEntries(std::vector<FileViewEntry> entries);
    void clear();
    const FileViewEntry& entry(int row) const { return entries_[std::size_t(row)]; }
    int count() const { return int(entries_.size()); }
    // Row of the entry whose key is `name` (-1 when absent).
    int rowOf(const QString& name) const;

    // Sorts ascending by the text of `column` (0 name, 1 type, 2 size) and
    // keeps later fills sorted by it.
    void sortByColumn(int column);
    int sortColumn() const { return sortColumn_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void sortEntries();

    std::vector<FileViewEntry> entries_;
    int sortColumn_ = -1;
};

} // namespace crateward
