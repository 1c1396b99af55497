// The 255 texture names shared by every view and the slot counter that hands
// them out. The counter only grows while the library is loaded.
#pragma once

#include "ObjectStore.hpp"
#include "Palette.hpp"

#include <GL/gl.h>

#include <array>

namespace meshdraw {

class TextureBank {
public:
    static constexpr int capacity = 255;

    // Generates the names in the current context (once per set of contexts).
    void generateNames();
    // The contexts that held the names are gone.
    void forgetNames() { named_ = false; }
    bool named() const { return named_; }

    // Uploads the texture of every face of object that has a texture address,
    // in the current context. A face whose texture cannot be uploaded (no
    // names, unsupported size, all 255 slots used) keeps no slot and is drawn
    // in its colour.
    void uploadFaces(GLObject& object, const Palette& palette);

    GLuint name(int slot) const { return names_[static_cast<std::size_t>(slot)]; }
    int slotsUsed() const { return slotCounter_; }

private:
    std::array<GLuint, capacity> names_{};
    bool named_ = false;
    int slotCounter_ = 0;
};

} // namespace meshdraw
