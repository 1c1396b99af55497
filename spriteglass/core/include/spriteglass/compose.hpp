// Where frames land on a display and how one preview picture is composed.
#pragma once

#include "spriteglass/gaf_animation.hpp"
#include "spriteglass/surface.hpp"

#include <cstdint>
#include <vector>

namespace spriteglass {

struct PictureOrigin {
    std::int16_t x = 0;
    std::int16_t y = 0;
};

// Top-left corner of a frame shown alone in a box of SW x SH pixels: centred
// when CenterImages is set, else with its hotspot at the box's centre.
// Rounded to the nearest integer, halves to even.
PictureOrigin DisplayOrigin(const classGAFFrame& frame, int SW, int SH, bool CenterImages);

struct PreviewSize {
    int width = 0;
    int height = 0;
};

// Size of an animation's preview surface: (largest size + 96) rounded down to
// a multiple of 4, in each direction.
PreviewSize PreviewSurfaceSize(const classGAFAnimation& animation);

// Fills the surface from the background buffer (all BackIndex), then draws
// the frame with its hotspot at the surface's centre.
void ComposePreviewPicture(IndexedSurface& surface, const std::vector<std::uint8_t>& background,
                           const classGAFFrame& frame);

} // namespace spriteglass
