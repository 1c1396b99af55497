#include "file_view_model.hpp"

#include <algorithm>

#include "image_list.hpp"

namespace crateward {

FileViewEntry FileViewModel::makeEntry(const QString& name, bool directory, qint64 size) {
    FileViewEntry e;
    e.name = name;
    if (directory) {
        e.type = QStringLiteral("Directory");
    } else {
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        const QString ext = dot < 0 ? QString() : name.mid(dot + 1).toUpper();
        e.type = ext + QStringLiteral(" File");
        e.size = QString::number(size);
    }
    e.icon = ListIconIndex(name);
    return e;
}

void FileViewModel::setEntries(std::vector<FileViewEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    sortEntries();
    endResetModel();
}

void FileViewModel::clear() {
    setEntries({});
}

int FileViewModel::rowOf(const QString& name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name) {
            return int(i);
        }
    }
    return -1;
}

void FileViewModel::sortByColumn(int column) {
    if (column < 0 || column > 2) {
        return;
    }
    sortColumn_ = column;
    emit layoutAboutToBeChanged();
    sortEntries();
    emit layoutChanged();
}

void FileViewModel::sortEntries() {
    if (sortColumn_ < 0) {
        return;
    }
    const auto text = [this](const FileViewEntry& e) -> const QString& {
        return sortColumn_ == 0 ? e.name : sortColumn_ == 1 ? e.type : e.size;
    };
    std::stable_sort(entries_.begin(), entries_.end(),
                     [&](const FileViewEntry& a, const FileViewEntry& b) {
                         return QString::compare(text(a), text(b), Qt::CaseInsensitive) < 0;
                     });
}

int FileViewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(entries_.size());
}

int FileViewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant FileViewModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) {
        return {};
    }
    const FileViewEntry& e = entries_[std::size_t(index.row())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case 0:
            return e.name;
        case 1:
            return e.type;
        default:
            return e.size;
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        return ImageListIcon(e.icon);
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
    default:
        return {};
    }
}

Qt::ItemFlags FileViewModel::flags(const QModelIndex& index) const {
    // Selectable, never editable: renaming by label editing is refused.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

} // namespace crateward
