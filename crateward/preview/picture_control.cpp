#include "picture_control.hpp"

#include <QFile>
#include <QPixmap>

#include "pcx_image.hpp"

namespace crateward {

namespace {

QImage toImage(const pcx::PcxImage& picture) {
    if (picture.bits == 8) {
        QImage image(picture.width, picture.height, QImage::Format_Indexed8);
        QList<QRgb> colours(256);
        for (int i = 0; i < 256; ++i) {
            colours[i] =
                qRgb(picture.palette[std::size_t(3 * i)], picture.palette[std::size_t(3 * i + 1)],
                     picture.palette[std::size_t(3 * i + 2)]);
        }
        image.setColorTable(colours);
        for (int y = 0; y < picture.height; ++y) {
            std::copy_n(picture.indices.data() + std::size_t(y) * std::size_t(picture.width),
                        picture.width, image.scanLine(y));
        }
        return image;
    }
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(picture.rgb.data() + std::size_t(y) * std::size_t(picture.width) * 3,
                    picture.width * 3, image.scanLine(y));
    }
    return image;
}

} // namespace

QImage LoadPicture(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    char first = 0;
    if (file.peek(&first, 1) == 1 && first == 0x0A) {
        const auto picture = pcx::LoadPcx(QFile::encodeName(path).toStdString());
        return picture ? toImage(*picture) : QImage();
    }
    file.close();
    return QImage(path);
}

PictureControl::PictureControl(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PictureControl::clearDisplay() {
    image_ = QImage();
    clear();
}

bool PictureControl::setImageFile(const QString& path) {
    image_ = LoadPicture(path);
    display();
    return !image_.isNull();
}

void PictureControl::setZoom(int percent) {
    zoom_ = std::max(1, percent);
    display();
}

void PictureControl::display() {
    if (image_.isNull()) {
        clear();
        return;
    }
    const QSize size(std::max(1, image_.width() * zoom_ / 100),
                     std::max(1, image_.height() * zoom_ / 100));
    QPixmap pixmap = QPixmap::fromImage(image_);
    if (size != image_.size()) {
        pixmap = pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    setPixmap(pixmap);
}

bool PictureControl::saveAsBmp(const QString& path) const {
    return !image_.isNull() && image_.save(path, "BMP");
}

} // namespace crateward
