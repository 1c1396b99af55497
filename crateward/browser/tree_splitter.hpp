// The splitter between the tree and the list: a thin handle in the margin
// between them. Dragging it asks the main window for a new tree width;
// releasing it lets the window keep the width in the settings.
#pragma once

#include <QWidget>

namespace crateward {

class TreeSplitter : public QWidget {
    Q_OBJECT
public:
    explicit TreeSplitter(QWidget* parent);

signals:
    void pressed();
    // The handle was dragged `dx` pixels from where the drag began.
    void dragged(int dx);
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int pressedAt_ = 0;
    bool dragging_ = false;
};

} // namespace crateward
