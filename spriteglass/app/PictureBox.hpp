// A display box with a persistent picture that survives repainting: the
// frame display of the main window and the preview's drawing box.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace spriteglass {

class PictureBox : public QWidget {
public:
    explicit PictureBox(QWidget* parent = nullptr);
    const QPixmap& picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    // Replaces the picture by an empty one: only the background shows.
    void clearPicture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace spriteglass
