#include "GafViewerLayout.hpp"

#include "GafViewerDisplay.hpp"
#include "frmGafViewer.hpp"

#include <algorithm>

namespace spriteglass {

namespace {

void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(toPixels(left), toPixels(top), std::max(0, toPixels(width)),
                   std::max(0, toPixels(height)));
}

} // namespace

void GafViewerLayout::Resize() {
    frmGafViewer& v = viewer_;
    const int innerWidth = toTwips(v.width());
    const int innerHeight = toTwips(v.height());
    const int split = v.PicSplitter->left();

    place(v.ListGAF, 0, 0, split, innerHeight);
    const int viewLeft = split + SplitterBar::BarWidth;
    place(v.PicView, viewLeft, 0, innerWidth - viewLeft, innerHeight);
    v.PicSplitter->place();

    const int viewWidth = innerWidth - viewLeft;
    const int paneHeight = innerHeight - 50;
    place(v.PicView2, 0, 0, viewWidth - CommandPaneWidth - 200, paneHeight);
    place(v.picCMD, viewWidth - CommandPaneWidth, 0, CommandPaneWidth, paneHeight);

    // Inside the display area: the frame slider on top, the display box below
    // it, and the subframe slider at the bottom.
    const int sliderHeight = toTwips(v.ScrollFrames->sizeHint().height());
    const int frameInfoTop = toTwips(v.FrameInfo->y());
    const int subTop = frameInfoTop + paneHeight - sliderHeight - 120;
    const int areaWidth = toTwips(v.PicView2->width());
    const int boxLeft = 60;
    const int boxTop = 60 + sliderHeight + 60;
    const int boxRight = areaWidth - 60;
    place(v.PicScroll, boxLeft, boxTop, boxRight - boxLeft, subTop - 60 - boxTop);
    place(v.ScrollFrames, boxLeft, 60, boxRight - boxLeft, sliderHeight);
    place(v.ScrollSubframes, boxLeft, subTop, boxRight - boxLeft, sliderHeight);

    v.display().DisplayPicture(v.GetCurrentFrame());
}

} // namespace spriteglass
