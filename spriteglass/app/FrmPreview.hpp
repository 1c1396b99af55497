// A window that plays one animation at 10 frames per second, each frame
// composed from its subframes on the window's own surface. Owned by the
// viewer (common/owned_window.hpp): it stays in front of it.
#pragma once

#include "PictureBox.hpp"
#include "classFastWin.hpp"
#include "spriteglass/gaf_animation.hpp"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

namespace spriteglass {

class FrmPreview : public QWidget {
public:
    // The preview keeps its own reference to the animation.
    FrmPreview(std::shared_ptr<const classGAFAnimation> animation, QWidget* owner);

    // Makes the surface and starts the timer. False when the surface cannot
    // be made: the memory message is shown and the preview closes.
    bool Start();
    // One tick of TmrAnimate: composes and shows the current frame, then
    // moves on. A failure closes the preview.
    void Animate();

    int frameNumber() const { return frameNumber_; }
    const classGAFAnimation& animation() const { return *animation_; }
    classFastWin& surface() { return surface_; }
    PictureBox* Canvas;
    QTimer* TmrAnimate;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::shared_ptr<const classGAFAnimation> animation_;
    classFastWin surface_;
    std::vector<std::uint8_t> background_;
    int frameNumber_ = 1;
};

} // namespace spriteglass
