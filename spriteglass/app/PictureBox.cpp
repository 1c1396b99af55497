#include "PictureBox.hpp"

#include <QPainter>

namespace spriteglass {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureBox::clearPicture() {
    picture_ = QPixmap();
    update();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!picture_.isNull()) {
        painter.drawPixmap(0, 0, picture_);
    }
}

} // namespace spriteglass
