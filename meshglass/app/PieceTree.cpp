#include "PieceTree.hpp"

#include <QHeaderView>

namespace meshglass {

namespace {

constexpr int PieceRole = Qt::UserRole + 1;

QString offsetText(const class3dVertex& position) {
    return QStringLiteral("%1, %2, %3")
        .arg(double(position.x), 0, 'g', 6)
        .arg(double(position.y), 0, 'g', 6)
        .arg(double(position.z), 0, 'g', 6);
}

const class3do* pieceOf(const QTreeWidgetItem* item) {
    return item == nullptr
               ? nullptr
               : reinterpret_cast<const class3do*>(item->data(0, PieceRole).value<quintptr>());
}

} // namespace

PieceTree::PieceTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderLabels({QStringLiteral("Piece"), QStringLiteral("Offset"), QStringLiteral("Vertices"),
                     QStringLiteral("Primitives")});
    setColumnCount(4);
    setUniformRowHeights(true);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::currentItemChanged, this, [this] {
        if (!filling_ && onSelection) {
            onSelection();
        }
    });
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int column) {
        if (!filling_ && column == 0 && onTicks) {
            onTicks();
        }
    });
}

void PieceTree::Fill(const class3do* root) {
    filling_ = true;
    clear();
    if (root != nullptr) {
        addPiece(*root, nullptr);
        expandAll();
        for (int column = 0; column < columnCount(); ++column) {
            resizeColumnToContents(column);
        }
    }
    filling_ = false;
}

void PieceTree::addPiece(const class3do& piece, QTreeWidgetItem* parent) {
    auto* item = parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
    item->setText(0, QString::fromLatin1(piece.Name.data(), qsizetype(piece.Name.size())));
    item->setText(1, offsetText(piece.Position));
    item->setText(2, QString::number(piece.Header.VertexCount));
    item->setText(3, QString::number(piece.Header.PrimitiveCount));
    item->setData(0, PieceRole, QVariant::fromValue(quintptr(&piece)));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
    for (const auto& child : piece.Objects) {
        addPiece(*child, item);
    }
}

QTreeWidgetItem* PieceTree::ItemOf(const class3do* piece) const {
    for (QTreeWidgetItemIterator it(const_cast<PieceTree*>(this)); *it != nullptr; ++it) {
        if (pieceOf(*it) == piece) {
            return *it;
        }
    }
    return nullptr;
}

bool PieceTree::Ticked(const class3do* piece) const {
    const QTreeWidgetItem* item = ItemOf(piece);
    return item == nullptr || item->checkState(0) == Qt::Checked;
}

const class3do* PieceTree::SelectedPiece() const {
    return pieceOf(currentItem());
}

} // namespace meshglass
