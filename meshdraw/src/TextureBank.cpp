#include "TextureBank.hpp"

#include "TextureImage.hpp"

#include <cstddef>

namespace meshdraw {

void TextureBank::generateNames() {
    glGenTextures(capacity, names_.data());
    named_ = true;
}

void TextureBank::uploadFaces(GLObject& object, const Palette& palette) {
    for (std::size_t f = 0; f < object.faces.size(); ++f) {
        const GLFace& face = object.faces[f];
        if (face.texture == 0 || !named_ || slotCounter_ >= capacity) {
            continue;
        }
        const auto* texels = reinterpret_cast<const std::uint8_t*>(face.texture);
        const std::vector<std::uint8_t> image =
            paddedImage(texels, face.textureWidth, face.textureHeight, palette);
        if (image.empty()) {
            continue;
        }
        TextureSlot& slot = object.slots[f];
        slot.name = slotCounter_;
        slot.paddedWidth = paddedSide(face.textureWidth);
        slot.paddedHeight = paddedSide(face.textureHeight);
        glBindTexture(GL_TEXTURE_2D, names_[static_cast<std::size_t>(slotCounter_)]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, slot.paddedWidth, slot.paddedHeight, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, image.data());
        ++slotCounter_;
    }
}

} // namespace meshdraw
