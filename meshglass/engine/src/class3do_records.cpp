// Turning the piece tree into renderer records.
#include "meshglass/class3do.hpp"

#include "meshglass/ModelTextures.hpp"

#include <limits>

namespace meshglass {

namespace {

bool faceNamesItsVertices(const RenderFace& face, const std::vector<std::int16_t>& indices,
                          std::size_t vertexCount) {
    const std::int64_t first = face.firstIndex;
    const std::int64_t count = face.vertexCount;
    if (first < 0 || count < 0 || first + count > std::int64_t(indices.size())) {
        return false;
    }
    for (std::int64_t k = 0; k < count; ++k) {
        const std::int16_t index = indices[std::size_t(first + k)];
        if (index < 0 || std::size_t(index) >= vertexCount) {
            return false;
        }
    }
    return true;
}

// Drops every face whose index run or vertex indices lie outside the
// piece's own arrays; the kept faces' runs are packed again in order.
void keepFacesWithVertices(std::vector<RenderFace>& faces, std::vector<std::int16_t>& indices,
                           std::size_t vertexCount) {
    std::vector<RenderFace> keptFaces;
    std::vector<std::int16_t> keptIndices;
    keptFaces.reserve(faces.size());
    keptIndices.reserve(indices.size());
    for (RenderFace face : faces) {
        if (!faceNamesItsVertices(face, indices, vertexCount)) {
            continue;
        }
        const std::int64_t first = face.firstIndex;
        const std::int64_t count = face.vertexCount;
        face.firstIndex = std::int32_t(keptIndices.size());
        keptIndices.insert(keptIndices.end(), indices.begin() + first,
                           indices.begin() + first + count);
        keptFaces.push_back(face);
    }
    faces = std::move(keptFaces);
    indices = std::move(keptIndices);
}

} // namespace

void class3do::GLCreateModel(ModelRenderer& renderer, bool Recurse, float OffsetX, float OffsetY,
                             float OffsetZ, FaceTextures* textures) {
    GLVertices.clear();
    GLVertices.reserve(Vertices.size());
    for (const class3dVertex& vertex : Vertices) {
        GLVertices.push_back(RenderVertex{vertex.x, vertex.y, vertex.z});
    }
    GLFaces.assign(Primitives.size(), RenderFace{});

    std::vector<std::int16_t> indices;
    std::size_t total = 0;
    for (const class3dPrimitive& primitive : Primitives) {
        total += primitive.VertexList.size();
    }
    indices.reserve(total);
    for (std::size_t i = 0; i < Primitives.size(); ++i) {
        // The polygon's own list, as GetVertexes would copy it.
        const std::vector<std::int16_t>& list = Primitives[i].VertexList;
        // A face counts its indices in 16 bits and finds them by a 32-bit
        // position; a polygon beyond either ends this piece, as a failed
        // step does.
        if (list.size() > std::size_t(std::numeric_limits<std::int16_t>::max()) ||
            indices.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
            return;
        }
        GLFaces[i].firstIndex = std::int32_t(indices.size());
        if (std::int64_t(i) == Header.SelectionPrimitive) {
            indices.insert(indices.end(), list.size(), 0);
        } else {
            indices.insert(indices.end(), list.begin(), list.end());
        }
        RenderFace& face = GLFaces[i];
        Primitives[i].SetPrimitive(face.vertexCount, face.colour, face.texture, face.textureWidth,
                                   face.textureHeight);
        if (textures != nullptr) {
            textures->Apply(Primitives[i], face);
        }
    }

    const float x = Position.x + OffsetX;
    const float y = Position.y + OffsetY;
    const float z = Position.z + OffsetZ;
    // A piece of a single polygon, vertex or index is not drawn.
    if (GLFaces.size() >= 2 && GLVertices.size() >= 2 && indices.size() >= 2) {
        bool whole = true;
        for (const RenderFace& face : GLFaces) {
            whole = whole && faceNamesItsVertices(face, indices, GLVertices.size());
        }
        if (whole) {
            renderer.Add3DObject(RenderObject{Name, GLFaces, GLVertices, indices, x, y, z});
        } else {
            std::vector<RenderFace> faces = GLFaces;
            keepFacesWithVertices(faces, indices, GLVertices.size());
            if (!faces.empty()) {
                renderer.Add3DObject(RenderObject{Name, faces, GLVertices, indices, x, y, z});
            }
        }
    }
    if (Recurse) {
        for (const auto& child : Objects) {
            child->GLCreateModel(renderer, true, x, y, z, textures);
        }
    }
    renderer.DrawView();
}

void BuildModel(class3do& model, ModelRenderer& renderer, FaceTextures* textures) {
    renderer.RemoveAllObjects();
    model.GLCreateModel(renderer, true, 0, 0, 0, textures);
}

} // namespace meshglass
