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
// Lit polygons carry their own normals. Object highlight (-1: none) is drawn
// in the highlight colour, without textures.
void drawScene(const ObjectStore& store, const Palette& palette, const TextureBank& textures,
               int mode, std::int32_t highlight = -1);

} // namespace meshdraw
