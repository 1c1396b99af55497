// What the model tree is turned into: per piece, face, vertex and index
// records in the layout of the renderer's records, handed to a renderer.
// The engine knows only this interface; the viewer's implementation passes
// the records on to Meshdraw, the tools collect or print them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace meshglass {

// Same fields and meaning as the renderer's GLFace.
struct RenderFace {
    std::uint8_t colour = 0;
    std::uint8_t mark = 0;
    std::int16_t vertexCount = 0;
    std::int16_t textureWidth = 0;
    std::int16_t textureHeight = 0;
    std::int32_t firstIndex = 0;
    std::uintptr_t texture = 0;
};

struct RenderVertex {
    float x = 0;
    float y = 0;
    float z = 0;
};

// One object as it is added: the piece's name, its records and its
// accumulated position.
struct RenderObject {
    std::string_view name;
    std::span<const RenderFace> faces;
    std::span<const RenderVertex> vertices;
    std::span<const std::int16_t> indices;
    float x = 0;
    float y = 0;
    float z = 0;
};

class ModelRenderer {
public:
    virtual ~ModelRenderer() = default;
    virtual void RemoveAllObjects() = 0;
    // Returns the new object's index, or a negative value when it was refused.
    virtual std::int32_t Add3DObject(const RenderObject& object) = 0;
    virtual void DrawView() = 0;
};

} // namespace meshglass
