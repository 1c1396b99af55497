// The vertical bar between the animation list and the right-hand pane. It is
// dragged with the left button; its left edge stays between 1000 twips and
// half the window's inner width. Positions are in twips (15 per pixel).
#pragma once

#include <QFrame>

#include <functional>

namespace spriteglass {

inline constexpr int TwipsPerPixel = 15;
inline int toPixels(int twips) {
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}
inline int toTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

class SplitterBar : public QFrame {
public:
    static constexpr int Margin = 5;
    static constexpr int BarWidth = 45;
    static constexpr int MinimumLeft = 1000;
    static constexpr int NoDrag = 0x7FFFFFFF;
    static constexpr QRgb DragColour = 0x808080;

    explicit SplitterBar(QWidget* parent);

    // The bar's left edge for a candidate position in a window whose inner
    // width is innerWidth twips.
    static int Clamp(int candidate, int innerWidth);

    int left() const { return left_; }
    void setLeft(int left) { left_ = left; }
    bool dragging() const { return anchor_ != NoDrag; }
    // Places the bar at left_ with top Margin, width BarWidth and the inner
    // height less twice the margin.
    void place();
    // Called after a release so the window lays itself out again.
    std::function<void()> onReleased;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void moveTo(int pointerX);
    void release(int pointerX);
    int innerWidth() const;

    int left_ = 3000;
    int anchor_ = NoDrag;
};

} // namespace spriteglass
