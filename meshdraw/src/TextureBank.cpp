#include "TextureBank.hpp"

#include "TextureImage.hpp"

#include <cstddef>
#include <cstring>

namespace meshdraw {

namespace {

// FNV-1a over the size and the texels.
std::uint64_t contentKey(const std::uint8_t* texels, int width, int height) {
    std::uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](std::uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    for (int value : {width, height}) {
        for (int shift = 0; shift < 32; shift += 8) {
            mix(std::uint8_t(value >> shift));
        }
    }
    const std::size_t size = std::size_t(width) * std::size_t(height);
    for (std::size_t k = 0; k < size; ++k) {
        mix(texels[k]);
    }
    return hash;
}

} // namespace

void TextureBank::forgetNames() {
    named_ = false;
    uploaded_.clear();
    byContent_.clear();
}

const TextureBank::Uploaded* TextureBank::findUploaded(std::uint64_t key,
                                                       const std::uint8_t* texels, int width,
                                                       int height) const {
    const auto [first, last] = byContent_.equal_range(key);
    for (auto it = first; it != last; ++it) {
        const Uploaded& candidate = uploaded_[it->second];
        if (candidate.width == width && candidate.height == height &&
            std::memcmp(candidate.texels.data(), texels, candidate.texels.size()) == 0) {
            return &candidate;
        }
    }
    return nullptr;
}

void TextureBank::generateNames() {
    glGenTextures(capacity, names_.data());
    named_ = true;
}

void TextureBank::uploadFaces(GLObject& object, const Palette& palette) {
    for (std::size_t f = 0; f < object.faces.size(); ++f) {
        const GLFace& face = object.faces[f];
        if (face.texture == 0 || !named_ || paddedSide(face.textureWidth) == 0 ||
            paddedSide(face.textureHeight) == 0) {
            continue;
        }
        const auto* texels = reinterpret_cast<const std::uint8_t*>(face.texture);
        const std::uint64_t key = contentKey(texels, face.textureWidth, face.textureHeight);
        if (const Uploaded* same =
                findUploaded(key, texels, face.textureWidth, face.textureHeight)) {
            object.slots[f] = same->slot;
            continue;
        }
        if (slotCounter_ >= capacity) {
            continue;
        }
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
        const std::size_t size = std::size_t(face.textureWidth) * std::size_t(face.textureHeight);
        uploaded_.push_back(Uploaded{face.textureWidth, face.textureHeight,
                                     std::vector<std::uint8_t>(texels, texels + size), slot});
        byContent_.emplace(key, uploaded_.size() - 1);
        ++slotCounter_;
    }
}

} // namespace meshdraw
