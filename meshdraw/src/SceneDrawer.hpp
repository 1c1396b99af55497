// Draws the stored objects into the current context in one draw mode.
#pragma once

#include "ObjectStore.hpp"
#include "Palette.hpp"
#include "TextureBank.hpp"

namespace meshdraw {

enum DrawMode : int {
    drawFilled = 0,
    drawLit = 1,
    drawWireframe = 2,
};

// Clears the colour and depth buffers and draws every object in index order.
// A face whose index run or vertex indices lie outside its object is skipped.
void drawScene(const ObjectStore& store, const Palette& palette, const TextureBank& textures,
               int mode);

} // namespace meshdraw
