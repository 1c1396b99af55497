// Textures of a model: what its polygons name, and the face records that
// take them from a texture lookup.
#pragma once

#include "meshglass/ModelRenderer.hpp"
#include "meshglass/TextureLookup.hpp"
#include "meshglass/class3dPrimitive.hpp"

#include <string>
#include <vector>

namespace meshglass {

class class3do;

// Gives a polygon's face record its texture while the model is turned into
// records (class3do::GLCreateModel).
class FaceTextures {
public:
    virtual ~FaceTextures() = default;
    virtual void Apply(const class3dPrimitive& primitive, RenderFace& face) = 0;
};

// Faces from a texture lookup. A polygon whose texture is found is a textured
// quad when it has 4 vertices (the texture's address and size in its record),
// and takes the texture's average colour in any case, so it shows in that
// colour wherever the renderer draws it untextured (not a quad, not uploaded).
// A polygon whose texture is missing keeps its palette colour.
class LookupFaceTextures : public FaceTextures {
public:
    explicit LookupFaceTextures(TextureLookup& lookup) : lookup_(lookup) {}
    void Apply(const class3dPrimitive& primitive, RenderFace& face) override;

private:
    TextureLookup& lookup_;
};

struct TextureUse {
    std::string name; // as the first polygon naming it spells it
    int faces = 0;    // polygons naming it, in any letter case
};

// Every texture name the model's polygons use, in order of first use
// (pieces depth first, polygons in order).
std::vector<TextureUse> TextureUses(const class3do& model);

} // namespace meshglass
