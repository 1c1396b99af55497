#include "meshglass/ModelTextures.hpp"

#include "meshglass/class3do.hpp"

#include <algorithm>
#include <map>

namespace meshglass {

void LookupFaceTextures::Apply(const class3dPrimitive& primitive, RenderFace& face) {
    if (primitive.TextureName.empty()) {
        return;
    }
    const FoundTexture* texture = lookup_.Find(primitive.TextureName);
    if (texture == nullptr) {
        return;
    }
    face.colour = texture->averageColour;
    if (face.vertexCount == 4) {
        face.texture = reinterpret_cast<std::uintptr_t>(texture->texels.data());
        face.textureWidth = std::int16_t(texture->width);
        face.textureHeight = std::int16_t(texture->height);
    }
}

namespace {

void collectUses(const class3do& piece, std::vector<TextureUse>& uses,
                 std::map<std::string, std::size_t>& byName) {
    for (const class3dPrimitive& primitive : piece.Primitives) {
        if (primitive.TextureName.empty()) {
            continue;
        }
        std::string key = primitive.TextureName;
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
        auto [it, added] = byName.emplace(key, uses.size());
        if (added) {
            uses.push_back(TextureUse{primitive.TextureName, 0});
        }
        ++uses[it->second].faces;
    }
    for (const auto& child : piece.Objects) {
        collectUses(*child, uses, byName);
    }
}

} // namespace

std::vector<TextureUse> TextureUses(const class3do& model) {
    std::vector<TextureUse> uses;
    std::map<std::string, std::size_t> byName;
    collectUses(model, uses, byName);
    return uses;
}

} // namespace meshglass
