// The tree of the shown model's pieces beside the view: each piece's name,
// its offset from its parent and its vertex and primitive counts, with a
// tick box. Selecting a piece and unticking one are passed on to the
// window, which highlights the piece or leaves it (and its children) out.
#pragma once

#include "meshglass/class3do.hpp"

#include <QTreeWidget>

#include <functional>

namespace meshglass {

class PieceTree : public QTreeWidget {
public:
    explicit PieceTree(QWidget* parent);

    // Shows the pieces of root (all ticked); null empties the tree.
    void Fill(const class3do* root);
    // Whether the piece's box is ticked (a piece not in the tree counts as
    // shown).
    bool Ticked(const class3do* piece) const;
    // The selected piece, or null.
    const class3do* SelectedPiece() const;
    // The item of a piece, or null.
    QTreeWidgetItem* ItemOf(const class3do* piece) const;

    std::function<void()> onSelection;
    std::function<void()> onTicks;

private:
    void addPiece(const class3do& piece, QTreeWidgetItem* parent);
    bool filling_ = false;
};

} // namespace meshglass
