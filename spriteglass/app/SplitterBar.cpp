#include "SplitterBar.hpp"

#include <QMouseEvent>

namespace spriteglass {

SplitterBar::SplitterBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("PicSplitter"));
    setCursor(Qt::SplitHCursor);
    setAutoFillBackground(true);
}

int SplitterBar::Clamp(int candidate, int innerWidth) {
    const int half = innerWidth / 2;
    if (candidate >= MinimumLeft && candidate <= half) {
        return candidate;
    }
    return candidate < MinimumLeft ? MinimumLeft : half;
}

int SplitterBar::innerWidth() const {
    return parentWidget() ? toTwips(parentWidget()->width()) : 0;
}

void SplitterBar::place() {
    const int innerHeight = parentWidget() ? toTwips(parentWidget()->height()) : 0;
    setGeometry(toPixels(left_), toPixels(Margin), toPixels(BarWidth),
                std::max(0, toPixels(innerHeight - 2 * Margin)));
}

void SplitterBar::moveTo(int pointerX) {
    left_ = Clamp(left_ + toTwips(pointerX), innerWidth());
    place();
}

void SplitterBar::release(int pointerX) {
    moveTo(pointerX);
    anchor_ = NoDrag;
    setPalette(QPalette());
    if (onReleased) {
        onReleased();
    }
}

void SplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !dragging()) {
        QPalette drag = palette();
        drag.setColor(QPalette::Window, QColor::fromRgb(DragColour));
        setPalette(drag);
        anchor_ = toTwips(int(event->position().x()));
    } else if (dragging()) {
        release(int(event->position().x())); // another button ends the drag as a release
    }
}

void SplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (dragging()) {
        moveTo(int(event->position().x()));
    }
}

void SplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (dragging() && event->button() == Qt::LeftButton) {
        release(int(event->position().x()));
    }
}

} // namespace spriteglass
