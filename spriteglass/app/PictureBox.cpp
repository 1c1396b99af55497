#include "PictureBox.hpp"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace spriteglass {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QPixmap& picture) {
    setPicture(picture, 1);
}

void PictureBox::setPicture(const QPixmap& picture, int scale) {
    picture_ = picture;
    scale_ = std::max(1, scale);
    update();
}

void PictureBox::clearPicture() {
    picture_ = QPixmap();
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    if (picture_.isNull()) {
        return;
    }
    if (scale_ == 1) {
        painter.drawPixmap(0, 0, picture_);
        return;
    }
    // Only the picture pixels under the exposed rectangle are enlarged, so a
    // large frame at a high zoom costs no more than what is on the screen.
    const QRect exposed = event->rect();
    const QRect source = QRect(QPoint(exposed.left() / scale_, exposed.top() / scale_),
                               QPoint(exposed.right() / scale_, exposed.bottom() / scale_))
                             .intersected(picture_.rect());
    if (source.isEmpty()) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(QRect(source.topLeft() * scale_, source.size() * scale_), picture_, source);
}

} // namespace spriteglass
