// What the main window shows for the selected animation, frame and subframe:
// the sliders, the frame information fields and the picture.
#pragma once

#include "spriteglass/gaf_animation.hpp"

#include <QPoint>

class QSlider;

namespace spriteglass {

class frmGafViewer;

class GafViewerDisplay {
public:
    explicit GafViewerDisplay(frmGafViewer& viewer) : viewer_(viewer) {}

    // Shows CurrentAnimation from frame SelectFrame.
    void DisplayAnimation(int SelectFrame);
    // Shows a frame's numbers and picture; for a frame (not a subframe) also
    // selects and shows subframe SelectSubframe.
    void DisplayFrame(const classGAFFrame& frame, bool Subframe = false, int SelectSubframe = 1);
    // Shows the frame alone in PicFrame, placed by its hotspot or centred.
    void DisplayPicture(const classGAFFrame& frame);
    // Where the frame's top-left pixel sits in the picture last shown, in
    // frame pixels (before the zoom).
    QPoint ShownOrigin() const { return origin_; }

    // Enables the frame commands only where they can act: "Export Frame" on
    // a frame with a picture of its own, "Export Subframe" on a frame made of
    // subframes, "Export as PNG..." on a picture shown and "Replace frame..."
    // on a frame or subframe shown alone.
    void UpdateCommands();

    void FramesSliderChanged(int value);
    void SubframesSliderChanged(int value);

private:
    void setSlider(QSlider* slider, int value, int maximum, bool enabled);

    frmGafViewer& viewer_;
    QPoint origin_;
};

} // namespace spriteglass
