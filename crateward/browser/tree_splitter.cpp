#include "tree_splitter.hpp"

#include <QMouseEvent>

namespace crateward {

TreeSplitter::TreeSplitter(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TreeSplitter"));
    setCursor(Qt::SplitHCursor);
    setToolTip(QStringLiteral("Drag to change the width of the tree"));
}

void TreeSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        pressedAt_ = int(event->globalPosition().x());
        emit pressed();
    }
}

void TreeSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_) {
        emit dragged(int(event->globalPosition().x()) - pressedAt_);
    }
}

void TreeSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        emit dragged(int(event->globalPosition().x()) - pressedAt_);
        emit released();
    }
}

} // namespace crateward
