// The 255 texture names shared by every view and the slot counter that hands
// them out. The counter only grows while the library is loaded.
#pragma once

#include "ObjectStore.hpp"
#include "Palette.hpp"

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace meshdraw {

class TextureBank {
public:
    static constexpr int capacity = 255;

    // Generates the names in the current context (once per set of contexts).
    void generateNames();
    // The contexts that held the names (and the textures) are gone.
    void forgetNames();
    // New uploads no longer share the slots of earlier ones (the palette
    // they were made with has changed).
    void forgetContent() {
        uploaded_.clear();
        byContent_.clear();
    }
    bool named() const { return named_; }

    // Uploads the texture of every face of object that has a texture address,
    // in the current context. A face whose texture cannot be uploaded (no
    // names, unsupported size, all 255 slots used) keeps no slot and is drawn
    // in its colour. A texture with the same size and texels as one already
    // uploaded shares its slot, so a texture named by many faces, or added
    // again with a model that is shown again, takes one slot.
    void uploadFaces(GLObject& object, const Palette& palette);

    GLuint name(int slot) const { return names_[static_cast<std::size_t>(slot)]; }
    int slotsUsed() const { return slotCounter_; }

private:
    struct Uploaded {
        int width;
        int height;
        std::vector<std::uint8_t> texels;
        TextureSlot slot;
    };
    const Uploaded* findUploaded(std::uint64_t key, const std::uint8_t* texels, int width,
                                 int height) const;

    std::array<GLuint, capacity> names_{};
    std::vector<Uploaded> uploaded_;
    std::unordered_multimap<std::uint64_t, std::size_t> byContent_;
    bool named_ = false;
    int slotCounter_ = 0;
};

} // namespace meshdraw
