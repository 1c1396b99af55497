#include "file_view_model.hpp"

#include <algorithm>
#include <numeric>

#include "image_list.hpp"

namespace crateward {

namespace {

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

std::uint64_t foldedHash(std::string_view s) {
    std::uint64_t h = 1469598103934665603ull;
    for (const char c : s) {
        h = (h ^ std::uint8_t(foldAscii(c))) * 1099511628211ull;
    }
    // Spread the high bits into the low ones the table's mask keeps.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

bool sameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

QString typeOf(std::string_view name, bool directory) {
    if (directory) {
        return QStringLiteral("Directory");
    }
    const auto dot = name.rfind('.');
    const QString ext =
        dot == std::string_view::npos
            ? QString()
            : QString::fromUtf8(name.data() + dot + 1, qsizetype(name.size() - dot - 1)).toUpper();
    return ext + QStringLiteral(" File");
}

} // namespace

FileViewEntry FileViewModel::makeEntry(const QString& name, bool directory, qint64 size) {
    const QByteArray utf8 = name.toUtf8();
    FileViewEntry e;
    e.name = name;
    e.type = typeOf(std::string_view(utf8.constData(), std::size_t(utf8.size())), directory);
    e.size = directory ? QString() : QString::number(size);
    e.icon = ListIconIndex(name);
    return e;
}

void FileViewModel::beginFill(bool found) {
    beginResetModel();
    found_ = found;
    if (!found_ && sortColumn_ == 3) {
        sortColumn_ = -1; // the folder column went with the found entries
    }
    names_.clear();
    rows_.clear();
    keySlots_.assign(64, -1);
}

bool FileViewModel::insertKey(std::uint32_t row) {
    if ((rows_.size() + 1) * 2 > keySlots_.size()) {
        std::vector<std::int32_t> bigger(keySlots_.size() * 2, -1);
        const std::size_t mask = bigger.size() - 1;
        for (const std::int32_t r : keySlots_) {
            if (r >= 0) {
                std::size_t at = foldedHash(keyOf(rows_[std::size_t(r)])) & mask;
                while (bigger[at] >= 0) {
                    at = (at + 1) & mask;
                }
                bigger[at] = r;
            }
        }
        keySlots_.swap(bigger);
    }
    const std::size_t mask = keySlots_.size() - 1;
    const std::string_view name = keyOf(rows_[row]);
    std::size_t at = foldedHash(name) & mask;
    while (keySlots_[at] >= 0) {
        if (sameKey(keyOf(rows_[std::size_t(keySlots_[at])]), name)) {
            return false;
        }
        at = (at + 1) & mask;
    }
    keySlots_[at] = std::int32_t(row);
    return true;
}

bool FileViewModel::addEntry(std::string_view name, bool directory, std::int32_t size) {
    return appendRow(name, 0, directory, size);
}

bool FileViewModel::addFoundEntry(std::string_view memberPath, std::size_t nameStart,
                                  bool directory, std::int32_t size) {
    return nameStart <= memberPath.size() && appendRow(memberPath, nameStart, directory, size);
}

bool FileViewModel::appendRow(std::string_view text, std::size_t nameStart, bool directory,
                              std::int32_t size) {
    if (text.size() == nameStart || names_.size() + text.size() > UINT32_MAX) {
        return false;
    }
    Row row;
    const auto start = std::uint32_t(names_.size());
    row.nameOffset = start + std::uint32_t(nameStart);
    row.nameLength = std::uint32_t(text.size() - nameStart);
    row.folderLength = std::uint32_t(nameStart);
    row.size = size;
    row.directory = directory;
    names_.append(text);
    rows_.push_back(row);
    if (!insertKey(std::uint32_t(rows_.size() - 1))) {
        rows_.pop_back(); // a duplicate key is skipped
        names_.resize(start);
        return false;
    }
    return true;
}

void FileViewModel::endFill() {
    sortRows();
    endResetModel();
}

void FileViewModel::clear() {
    beginFill();
    endFill();
}

std::string_view FileViewModel::nameOf(const Row& row) const {
    return std::string_view(names_).substr(row.nameOffset, row.nameLength);
}

std::string_view FileViewModel::keyOf(const Row& row) const {
    return std::string_view(names_).substr(row.nameOffset - row.folderLength,
                                           row.folderLength + row.nameLength);
}

QString FileViewModel::textOf(const Row& row, int column) const {
    const std::string_view name = nameOf(row);
    switch (column) {
    case 0:
        return QString::fromUtf8(name.data(), qsizetype(name.size()));
    case 1:
        return typeOf(name, row.directory);
    case 3: {
        // The folder without the separator before the name.
        const std::size_t length = row.folderLength > 0 ? row.folderLength - 1 : 0;
        return QString::fromUtf8(names_.data() + (row.nameOffset - row.folderLength),
                                 qsizetype(length));
    }
    default:
        return row.directory ? QString() : QString::number(row.size);
    }
}

FileViewEntry FileViewModel::entry(int row) const {
    const Row& r = rows_[std::size_t(row)];
    FileViewEntry e;
    e.name = textOf(r, 0);
    e.type = textOf(r, 1);
    e.size = textOf(r, 2);
    e.icon = ListIconIndex(e.name);
    e.folder = textOf(r, 3);
    return e;
}

int FileViewModel::rowOf(const QString& name) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (textOf(rows_[i], 0) == name) {
            return int(i);
        }
    }
    return -1;
}

void FileViewModel::sortByColumn(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged();
    sortRows();
    emit layoutChanged();
}

void FileViewModel::sortRows() {
    if (sortColumn_ < 0 || rows_.size() < 2) {
        return;
    }
    std::vector<std::size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    if (sortColumn_ == 2) {
        // A folder has no size: it sorts below the smallest file.
        const auto sizeOf = [this](std::size_t i) {
            return rows_[i].directory ? std::int64_t(-1) : std::int64_t(rows_[i].size);
        };
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return descending ? sizeOf(b) < sizeOf(a) : sizeOf(a) < sizeOf(b);
        });
    } else {
        std::vector<QString> keys;
        keys.reserve(rows_.size());
        for (const Row& r : rows_) {
            keys.push_back(textOf(r, sortColumn_));
        }
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const int c = QString::compare(keys[a], keys[b], Qt::CaseInsensitive);
            return descending ? c > 0 : c < 0;
        });
    }
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    for (const std::size_t i : order) {
        sorted.push_back(rows_[i]);
    }
    rows_.swap(sorted);
}

int FileViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int FileViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (found_ ? 4 : 3);
}

QVariant FileViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    const Row& r = rows_[std::size_t(index.row())];
    if (role == Qt::ToolTipRole && found_ && index.column() == 0) {
        // The whole member path, for the icon modes that show no folder.
        const std::string_view key = keyOf(r);
        return QString::fromUtf8(key.data(), qsizetype(key.size()));
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        return textOf(r, index.column());
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        return ImageListIcon(ListIconIndex(textOf(r, 0)));
    }
    if (role == Qt::TextAlignmentRole && index.column() == 2) {
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant FileViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case 0:
        return QStringLiteral("File Name");
    case 1:
        return QStringLiteral("Type");
    case 2:
        return QStringLiteral("Size");
    case 3:
        return found_ ? QStringLiteral("Folder") : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags FileViewModel::flags(const QModelIndex& index) const {
    // Selectable, never editable: renaming by label editing is refused.
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags drag = dragDataMaker_ ? Qt::ItemIsDragEnabled : Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | drag;
}

QStringList FileViewModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list")};
}

QMimeData* FileViewModel::mimeData(const QModelIndexList& indexes) const {
    if (!dragDataMaker_) {
        return nullptr;
    }
    QList<int> rows;
    for (const QModelIndex& index : indexes) {
        rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return dragDataMaker_(rows);
}

} // namespace crateward
