// The drawing area PicView: a native child window (its id goes to the
// renderer, which draws into a window of its own inside it) whose paint and
// mouse and wheel events are passed to Frm3do's handlers.
#pragma once

#include <QWidget>

#include <functional>

namespace meshglass {

class PicViewBox : public QWidget {
public:
    explicit PicViewBox(QWidget* parent);

    std::function<void()> onPaint;
    // buttons held, x, y in pixels
    std::function<void(Qt::MouseButtons, int, int)> onMouseDown;
    std::function<void(Qt::MouseButtons, int, int)> onMouseMove;
    // notches of the mouse wheel turned away from the user (negative: towards)
    std::function<void(int)> onWheel;

    // The renderer paints, not Qt.
    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    int wheelRest_ = 0;
};

} // namespace meshglass
