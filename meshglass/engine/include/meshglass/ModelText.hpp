// Text forms of a model for the `3do` tool: the piece tree and the renderer
// objects as JSON, and a Wavefront OBJ export with its material file.
#pragma once

#include "meshglass/ModelRenderer.hpp"
#include "meshglass/class3do.hpp"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace meshglass {

// {"errors":N,"root":{piece}} where a piece is {"name","position","header",
// "vertices","primitives","children"}; floats with 6 significant digits.
std::string ModelJson(const class3do& root, int errors);

// One renderer object as the viewer would add it, with copies of its records.
struct CollectedObject {
    std::string name;
    float x = 0, y = 0, z = 0;
    std::vector<RenderFace> faces;
    std::vector<RenderVertex> vertices;
    std::vector<std::int16_t> indices;
};

// A renderer that keeps what it is given.
class CollectingRenderer : public ModelRenderer {
public:
    void RemoveAllObjects() override { objects.clear(); }
    std::int32_t Add3DObject(const RenderObject& object) override;
    void DrawView() override { ++draws; }

    std::vector<CollectedObject> objects;
    int draws = 0;
};

// {"errors":N,"objects":[{"name","position","faces","vertices","indices"}]}
std::string ObjectsJson(const std::vector<CollectedObject>& objects, int errors);

// The objects as OBJ text: one named group per object, vertices moved to the
// object's position, a material per palette colour used ("usemtl colour_N",
// defined in mtlName), polygons as faces and two-vertex ones as lines.
// Faces of fewer than two distinct vertices (the selection polygon's zero
// run) are left out.
//
// Textured quads whose texture address is in textureFiles use the material
// "texture_" + that file's stem, with texture coordinates at their four
// corners in the renderer's order (texel row 0 at the picture's top).
using TextureFiles = std::map<std::uintptr_t, std::string>; // address -> PNG file name
std::string ObjText(const std::vector<CollectedObject>& objects, const std::string& mtlName,
                    const TextureFiles& textureFiles = {});
// The material file: the colours the objects use, from a palette of 256
// entries of blue, green, red, 0, and a material per texture file (map_Kd).
std::string MtlText(const std::vector<CollectedObject>& objects,
                    const std::array<std::uint8_t, 1024>& palette,
                    const TextureFiles& textureFiles = {});

} // namespace meshglass
