#include "ObjectStore.hpp"

#include "ArrayReader.hpp"

#include <utility>

namespace meshdraw {

const GLIndex* GLObject::checkedRun(std::int32_t f) const {
    const GLFace& face = faces[static_cast<std::size_t>(f)];
    const std::int64_t first = face.firstIndex;
    const std::int64_t end = first + face.vertexCount;
    if (face.vertexCount <= 0 || first < 0 || end > static_cast<std::int64_t>(indices.size())) {
        return nullptr;
    }
    const GLIndex* run = indices.data() + first;
    for (std::int32_t k = 0; k < face.vertexCount; ++k) {
        if (run[k] < 0 || static_cast<std::size_t>(run[k]) >= vertices.size()) {
            return nullptr;
        }
    }
    return run;
}

void ObjectStore::reset() {
    objects_.clear();
    objects_.reserve(capacity);
    ready_ = true;
}

std::int32_t ObjectStore::add(SafeArray** faces, SafeArray** vertices, SafeArray** indices, float x,
                              float y, float z) {
    if (!ready_ || count() >= capacity) {
        return failedFull;
    }
    // The bounds are read first (faces, then vertices and indices), then the
    // elements in the same order; each failure keeps its own result.
    if (arrayLength(faces) < 0) {
        return failedFull;
    }
    if (arrayLength(vertices) < 0 || arrayLength(indices) < 0) {
        return failedData;
    }
    GLObject object;
    object.x = x;
    object.y = y;
    object.z = z;
    if (readArray(faces, object.faces) != ArrayRead::Done) {
        return failedFull;
    }
    if (readArray(vertices, object.vertices) != ArrayRead::Done ||
        readArray(indices, object.indices) != ArrayRead::Done) {
        return failedData;
    }
    object.slots.resize(object.faces.size());
    objects_.push_back(std::move(object));
    return count() - 1;
}

void ObjectStore::remove(std::int32_t index) {
    if (holds(index)) {
        objects_.erase(objects_.begin() + index);
    }
}

void ObjectStore::update(std::int32_t index, std::uint8_t mark, float x, float y, float z) {
    if (!holds(index)) {
        return;
    }
    GLObject& target = object(index);
    target.x = x;
    target.y = y;
    target.z = z;
    for (GLFace& face : target.faces) {
        face.mark = mark;
    }
}

void ObjectStore::updateFace(std::int32_t index, std::int32_t face, std::uint8_t mark,
                             uintptr_t texture) {
    if (!holds(index) || face < 0 || face >= object(index).faceCount()) {
        return;
    }
    GLFace& target = object(index).faces[static_cast<std::size_t>(face)];
    target.mark = mark;
    target.texture = texture;
}

void ObjectStore::forgetTextures() {
    for (GLObject& object : objects_) {
        for (TextureSlot& slot : object.slots) {
            slot = TextureSlot{};
        }
    }
}

} // namespace meshdraw
