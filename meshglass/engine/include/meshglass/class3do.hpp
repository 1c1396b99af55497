// One piece of a 3DO model and, through Objects, its whole subtree.
//
// Load reads the piece at the file's position: its 52-byte header, its name,
// vertices and polygons, then its children (the piece at ChildOffset and the
// chain of its SiblingOffsets). Reading is bounded: a child or sibling offset
// already on the path, a piece deeper than MaxPieceDepth, a duplicate child
// name or a spent read budget ends that piece's load silently, and every
// count and offset is checked against the file before anything is resized.
#pragma once

#include "meshglass/ModelRenderer.hpp"
#include "meshglass/class3dPrimitive.hpp"
#include "meshglass/class3dVertex.hpp"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace meshglass {

class ModelFile;

// The thirteen int32 fields of a piece's header, in file order.
struct ObjectHeader {
    std::int32_t VersionSignature = 1;
    std::int32_t VertexCount = 0;
    std::int32_t PrimitiveCount = 0;
    std::int32_t SelectionPrimitive = -1;
    std::int32_t XFromParent = 0;
    std::int32_t YFromParent = 0;
    std::int32_t ZFromParent = 0;
    std::int32_t NameOffset = 0;
    std::int32_t Reserved = 0;
    std::int32_t VertexArrayOffset = 0;
    std::int32_t PrimitiveArrayOffset = 0;
    std::int32_t SiblingOffset = 0;
    std::int32_t ChildOffset = 0;
};
inline constexpr int ObjectHeaderSize = 52;
inline constexpr int VertexRecordSize = 12;
inline constexpr int PrimitiveRecordSize = 32;
// Byte offset, inside a primitive record, of the offset of the polygon's
// texture name (0: no texture).
inline constexpr int PrimitiveTextureNameField = 16;
// Longest texture name read; a longer one counts as no name.
inline constexpr int MaxTextureNameLength = 64;

class FaceTextures;

class class3do {
public:
    class3do() { Initialize(); }

    // Back to the reset state: empty name and Objects, header defaults,
    // Position (0, 0, 0), one default vertex and one reset primitive.
    void Initialize();
    // Reads the piece at File's position with its subtree; next is its
    // SiblingOffset, or 0 when there is none or the load did not finish.
    void Load(ModelFile& File, std::int32_t& next);
    // Turns the piece (and with Recurse its subtree) into renderer records
    // and adds each piece at the sum of its own and its ancestors' positions.
    // With textures, each polygon's face record gets its texture (or its
    // texture's colour) from it.
    void GLCreateModel(ModelRenderer& renderer, bool Recurse = true, float OffsetX = 0,
                       float OffsetY = 0, float OffsetZ = 0, FaceTextures* textures = nullptr);

    // The child whose Name is key, or null.
    const class3do* Object(std::string_view key) const;
    // Adds a child under its Name; false (and child not added) when the key
    // is taken.
    bool AddObject(std::unique_ptr<class3do> child);

    std::string Name;
    ObjectHeader Header;
    class3dVertex Position;
    std::vector<class3dVertex> Vertices;
    std::vector<class3dPrimitive> Primitives;
    std::vector<std::unique_ptr<class3do>> Objects;
    // Filled by GLCreateModel.
    std::vector<RenderVertex> GLVertices;
    std::vector<RenderFace> GLFaces;

private:
    bool ReadHeader(ModelFile& File);
    bool ReadName(ModelFile& File);
    void ReadVertices(ModelFile& File);
    void ReadPrimitives(ModelFile& File);
    bool ReadChildren(ModelFile& File, std::int64_t ownOffset);
};

// RemoveAllObjects, then the whole tree at (0, 0, 0).
void BuildModel(class3do& model, ModelRenderer& renderer, FaceTextures* textures = nullptr);

// Reads a whole model from the start of the file.
std::unique_ptr<class3do> LoadModel(ModelFile& File);

} // namespace meshglass
