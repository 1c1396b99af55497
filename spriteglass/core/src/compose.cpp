#include "spriteglass/compose.hpp"

#include <algorithm>
#include <cmath>

namespace spriteglass {

namespace {

// Nearest integer, halves to the even neighbour, held in 16 bits.
std::int16_t toInt16(double value) {
    const double rounded = std::nearbyint(value);
    return std::int16_t(std::clamp(rounded, -32768.0, 32767.0));
}

int previewSide(int largest) {
    return (largest + 96) / 4 * 4;
}

} // namespace

PictureOrigin DisplayOrigin(const classGAFFrame& frame, int SW, int SH, bool CenterImages) {
    if (CenterImages) {
        return {toInt16(SW / 2.0 - frame.Width() / 2.0), toInt16(SH / 2.0 - frame.Height() / 2.0)};
    }
    return {toInt16(SW / 2.0 - frame.PositionX()), toInt16(SH / 2.0 - frame.PositionY())};
}

PreviewSize PreviewSurfaceSize(const classGAFAnimation& animation) {
    return {previewSide(animation.GetMaxWidth()), previewSide(animation.GetMaxHeight())};
}

void ComposePreviewPicture(IndexedSurface& surface, const std::vector<std::uint8_t>& background,
                           const classGAFFrame& frame) {
    const int W = surface.BmpWidth();
    const int H = surface.BmpHeight();
    surface.TileDraw(0, 0, W, H, background, 0);
    frame.DrawImage(surface, W / 2, H / 2);
}

} // namespace spriteglass
