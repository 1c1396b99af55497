#include "GafViewerDisplay.hpp"

#include "frmGafViewer.hpp"
#include "spriteglass/compose.hpp"

#include <QPainter>
#include <QScrollBar>

namespace spriteglass {

void GafViewerDisplay::setSlider(QSlider* slider, int value, int maximum, bool enabled) {
    // Programmatic moves do not count as the user's; the callers show what
    // the new position names themselves.
    const QSignalBlocker blocker(slider);
    slider->setMaximum(maximum);
    slider->setValue(value);
    slider->setEnabled(enabled);
}

void GafViewerDisplay::DisplayAnimation(int SelectFrame) {
    frmGafViewer& v = viewer_;
    const auto& frames = v.CurrentAnimation->Frames();
    const int count = int(frames.size());
    const bool several = count > 1;
    v.CurrentFrame = SelectFrame;
    setSlider(v.ScrollFrames, SelectFrame, several ? count : 2, several);
    if (SelectFrame >= 1 && SelectFrame <= count) {
        DisplayFrame(frames[std::size_t(SelectFrame) - 1]);
    }
    if (count == 0) {
        v.CurrentSubframe = 0;
        setSlider(v.ScrollSubframes, 1, 2, false);
        v.PicFrame->clearPicture();
        v.TxtWidth->setText(QStringLiteral("0"));
        v.TxtHeight->setText(QStringLiteral("0"));
        v.chkCompressed->setChecked(false);
    }
    UpdateCommands();
}

void GafViewerDisplay::UpdateCommands() {
    frmGafViewer& v = viewer_;
    const auto& frames = v.CurrentAnimation->Frames();
    const classGAFFrame* frame = v.CurrentFrame >= 1 && std::size_t(v.CurrentFrame) <= frames.size()
                                     ? &frames[std::size_t(v.CurrentFrame) - 1]
                                     : nullptr;
    const bool made = frame && !frame->Subframes().empty();
    // The picture shown: the frame's own, or the subframe's when it has no
    // subframes of its own (the window never shows deeper ones alone).
    const classGAFFrame& shown = v.GetCurrentFrame();
    const bool single = frame && shown.Subframes().empty() && (!made || v.CurrentSubframe >= 1);
    const bool picture = single && shown.Width() > 0 && shown.Height() > 0;
    v.CmdFrame->setEnabled(picture && !made);
    v.CmdSubframe->setEnabled(picture && made);
    v.CmdFramePng->setEnabled(picture);
    v.CmdReplaceFrame->setEnabled(single);
}

void GafViewerDisplay::DisplayFrame(const classGAFFrame& frame, bool Subframe, int SelectSubframe) {
    frmGafViewer& v = viewer_;
    v.TxtWidth->setText(QString::number(frame.Width()));
    v.TxtHeight->setText(QString::number(frame.Height()));
    v.TxtFPS->setText(QString::number(frame.FPS()));
    v.TxtXPos->setText(QString::number(frame.PositionX()));
    v.TxtYPos->setText(QString::number(frame.PositionY()));
    v.chkCompressed->setChecked(frame.Compressed());
    DisplayPicture(frame);
    if (Subframe) {
        return;
    }
    const auto& subframes = frame.Subframes();
    const int count = int(subframes.size());
    if (count == 0) {
        v.CurrentSubframe = 0;
        setSlider(v.ScrollSubframes, 1, 2, false);
        return;
    }
    v.CurrentSubframe = SelectSubframe;
    setSlider(v.ScrollSubframes, SelectSubframe, count > 1 ? count : 2, count > 1);
    if (SelectSubframe >= 1 && SelectSubframe <= count) {
        DisplayFrame(subframes[std::size_t(SelectSubframe) - 1], true);
    }
}

void GafViewerDisplay::DisplayPicture(const classGAFFrame& frame) {
    frmGafViewer& v = viewer_;
    // The size of the scroll area's view without scroll bars.
    const QSize view = v.PicScroll->maximumViewportSize();
    const int SW = view.width();
    const int SH = view.height();
    v.PicFrame->clearPicture();
    origin_ = QPoint();
    if (frame.Width() <= 0 || frame.Height() <= 0 || SW <= 0 || SH <= 0) {
        v.PicFrame->resize(std::max(SW, 0), std::max(SH, 0));
        return;
    }
    // The frame's own pixels go to the surface's top-left corner, transparent
    // ones becoming the background index; then that rectangle is copied into
    // the picture. The main surface is never cleared between frames. With a
    // zoom the view is taken as Zoom times smaller, and the box enlarges the
    // picture pixel for pixel (nearest neighbour). A frame reaching past the
    // view's left or top edge is moved in, and the picture grows to hold all
    // of it: the scroll area then reaches every pixel.
    const int zoom = std::max(1, v.Zoom);
    const PictureOrigin origin = DisplayOrigin(frame, SW / zoom, SH / zoom, v.CenterImages);
    const int left = std::max<int>(0, origin.x);
    const int top = std::max<int>(0, origin.y);
    origin_ = QPoint(left, top);
    const int pictureWidth = std::max(SW / zoom, left + frame.Width());
    const int pictureHeight = std::max(SH / zoom, top + frame.Height());
    v.Frame.ClearTileDraw(0, 0, frame.Width(), frame.Height(), frame.Pixels(), MaskIndex, BackIndex,
                          0);
    QPixmap picture(pictureWidth, pictureHeight);
    picture.fill(v.PicFrame->palette().color(QPalette::Window));
    {
        QPainter painter(&picture);
        v.Frame.Show(painter, left, top, frame.Width(), frame.Height(), 0, 0, 1, 1, false);
    }
    // The box fills the view; a scroll bar that the picture needs takes its
    // room from the view, so the other one comes only when needed too.
    const QSize content((left + frame.Width()) * zoom, (top + frame.Height()) * zoom);
    const int barHeight = v.PicScroll->horizontalScrollBar()->sizeHint().height();
    const int barWidth = v.PicScroll->verticalScrollBar()->sizeHint().width();
    QSize room = view;
    const bool across = content.width() > room.width();
    if (across) {
        room.rheight() -= barHeight;
    }
    if (content.height() > room.height()) {
        room.rwidth() -= barWidth;
        if (!across && content.width() > room.width()) {
            room.rheight() -= barHeight;
        }
    }
    v.PicFrame->resize(content.expandedTo(room));
    v.PicFrame->setPicture(picture, zoom);
}

void GafViewerDisplay::FramesSliderChanged(int value) {
    frmGafViewer& v = viewer_;
    v.CurrentFrame = value;
    const auto& frames = v.CurrentAnimation->Frames();
    if (value >= 1 && std::size_t(value) <= frames.size()) {
        DisplayFrame(frames[std::size_t(value) - 1]);
    }
    UpdateCommands();
}

void GafViewerDisplay::SubframesSliderChanged(int value) {
    frmGafViewer& v = viewer_;
    v.CurrentSubframe = value;
    const auto& frames = v.CurrentAnimation->Frames();
    if (v.CurrentFrame < 1 || std::size_t(v.CurrentFrame) > frames.size()) {
        return;
    }
    const auto& subframes = frames[std::size_t(v.CurrentFrame) - 1].Subframes();
    if (value >= 1 && std::size_t(value) <= subframes.size()) {
        DisplayFrame(subframes[std::size_t(value) - 1], true);
    }
    UpdateCommands();
}

} // namespace spriteglass
