// A display box with a persistent picture that survives repainting: the
// frame display of the main window and the preview's drawing box. The
// picture may be shown enlarged, each of its pixels as a square of
// scale x scale screen pixels, without the enlarged copy ever being made.
#pragma once

#include <QPixmap>
#include <QWidget>

namespace spriteglass {

class PictureBox : public QWidget {
public:
    explicit PictureBox(QWidget* parent = nullptr);
    const QPixmap& picture() const { return picture_; }
    void setPicture(const QPixmap& picture);
    // Shows the picture enlarged `scale` times (nearest neighbour, at least 1).
    void setPicture(const QPixmap& picture, int scale);
    int scale() const { return scale_; }
    // Replaces the picture by an empty one: only the background shows.
    void clearPicture();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    int scale_ = 1;
};

} // namespace spriteglass
