#include "PicViewBox.hpp"

#include <QMouseEvent>
#include <QWheelEvent>

namespace meshglass {

PicViewBox::PicViewBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void PicViewBox::paintEvent(QPaintEvent*) {
    if (onPaint) {
        onPaint();
    }
}

void PicViewBox::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown) {
        const QPoint at = event->position().toPoint();
        onMouseDown(event->buttons(), at.x(), at.y());
    }
}

void PicViewBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove) {
        const QPoint at = event->position().toPoint();
        onMouseMove(event->buttons(), at.x(), at.y());
    }
}

void PicViewBox::wheelEvent(QWheelEvent* event) {
    // A notch is 120 eighths of a degree; finer wheels add up to one.
    wheelRest_ += event->angleDelta().y();
    const int notches = wheelRest_ / 120;
    wheelRest_ -= notches * 120;
    if (notches != 0 && onWheel) {
        onWheel(notches);
    }
    event->accept();
}

} // namespace meshglass
