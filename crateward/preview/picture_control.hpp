// The image control of the picture previews (PicUnit in the picture pane,
// ImgPCX in frmShowPCX): it is handed a file name, reads PCX pictures with
// the PCX engine and every other kind with Qt's readers, shows the picture
// at a zoom percentage, reports its size in pixels and saves it as BMP.
#pragma once

#include <QImage>
#include <QLabel>
#include <QString>

namespace crateward {

// The picture in the file at `path` (PCX by its first byte, else by Qt's
// readers); a null image when it cannot be read.
QImage LoadPicture(const QString& path);

class PictureControl : public QLabel {
    Q_OBJECT
public:
    explicit PictureControl(QWidget* parent = nullptr);

    void clearDisplay();
    // Reads the picture of `path` and shows it; false (and nothing shown)
    // when it cannot be read.
    bool setImageFile(const QString& path);
    void setZoom(int percent);
    int zoom() const { return zoom_; }
    int imageWidth() const { return image_.width(); }
    int imageHeight() const { return image_.height(); }
    const QImage& image() const { return image_; }
    // Saves the picture as BMP; false when there is none or the write fails.
    bool saveAsBmp(const QString& path) const;

private:
    void display();

    QImage image_;
    int zoom_ = 100;
};

} // namespace crateward
