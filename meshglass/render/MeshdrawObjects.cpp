#include "MeshdrawObjects.hpp"

#include "meshdraw.h"

#include <cstddef>
#include <vector>

namespace meshglass {

static_assert(sizeof(RenderVertex) == sizeof(GLVertex));
static_assert(sizeof(RenderFace) == sizeof(GLFace));
static_assert(offsetof(RenderFace, firstIndex) == offsetof(GLFace, firstIndex));
static_assert(offsetof(RenderFace, texture) == offsetof(GLFace, texture));
static_assert(sizeof(GLIndex) == sizeof(std::int16_t));

std::int32_t AddObjectToMeshdraw(const RenderObject& object) {
    std::vector<GLFace> faces(object.faces.size());
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const RenderFace& face = object.faces[i];
        faces[i] = GLFace{face.colour,        face.mark,       face.vertexCount, face.textureWidth,
                          face.textureHeight, face.firstIndex, face.texture};
    }
    SafeArray faceArray = SafeArrayOver(faces.data(), std::int32_t(faces.size()), sizeof(GLFace));
    SafeArray vertexArray = SafeArrayOver(const_cast<RenderVertex*>(object.vertices.data()),
                                          std::int32_t(object.vertices.size()), sizeof(GLVertex));
    SafeArray indexArray = SafeArrayOver(const_cast<std::int16_t*>(object.indices.data()),
                                         std::int32_t(object.indices.size()), sizeof(GLIndex));
    SafeArray* facePointer = &faceArray;
    SafeArray* vertexPointer = &vertexArray;
    SafeArray* indexPointer = &indexArray;
    return ::Add3DObject(&facePointer, &vertexPointer, &indexPointer, object.x, object.y, object.z);
}

} // namespace meshglass
