// A picture of a model without any window: the model is handed to Meshdraw
// as the viewer hands it, drawn by Meshdraw's own drawing code into its
// offscreen view, and read back. The camera starts where the viewer's does,
// turns by the given angles and stands at the distance that fits the model.
#pragma once

#include "meshglass/ModelTextures.hpp"
#include "meshglass/class3do.hpp"
#include "spriteglass/palette.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace meshglass {

struct PictureOptions {
    int mode = 0; // Meshdraw's draw modes: 0 filled, 1 lit, 2 wireframe
    int width = 512;
    int height = 512;
    double turnA = 0;              // RotateView's first angle (Y-Z plane), radians
    double turnB = 0;              // its second angle (X-Z plane), radians
    int zoomNotches = 0;           // wheel notches after fitting (> 0: farther)
    std::uint8_t background = 255; // palette index of the clear colour
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first
};

// Largest picture side drawn.
inline constexpr int MaxPictureSide = 8192;

// The picture, or nullopt with the reason in error (no offscreen surface, a
// size out of range). textures may be null (no textures).
std::optional<Picture> DrawModelOffscreen(class3do& model, const spriteglass::Palette& palette,
                                          FaceTextures* textures, const PictureOptions& options,
                                          std::string& error);

} // namespace meshglass
