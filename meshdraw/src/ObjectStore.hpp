// The object store: up to 255 objects, each with its own copies of the
// caller's faces, vertices and indices.
#pragma once

#include "meshdraw.h"

#include <cstdint>
#include <vector>

namespace meshdraw {

// The texture a face got when its object was added: the index of its texture
// name (-1 when none was uploaded) and the padded size of the uploaded image.
struct TextureSlot {
    std::int32_t name = -1;
    std::int32_t paddedWidth = 0;
    std::int32_t paddedHeight = 0;
};

struct GLObject {
    float x = 0;
    float y = 0;
    float z = 0;
    std::vector<GLFace> faces;
    std::vector<GLVertex> vertices;
    std::vector<GLIndex> indices;
    std::vector<TextureSlot> slots; // one per face

    std::int32_t faceCount() const { return static_cast<std::int32_t>(faces.size()); }

    // The vertex indices of face f when its run lies inside the index array
    // and every index names a vertex of this object; else nullptr (drawing
    // skips such a face).
    const GLIndex* checkedRun(std::int32_t f) const;
};

class ObjectStore {
public:
    static constexpr int capacity = 255;

    // Results of add() besides the new index.
    static constexpr std::int32_t failedFull = -1; // full, no store, or face array failed
    static constexpr std::int32_t failedData = 0;  // vertex or index array failed

    // The store exists once reset() has run (Initialize does that).
    bool ready() const { return ready_; }
    void reset();

    std::int32_t count() const { return static_cast<std::int32_t>(objects_.size()); }
    bool holds(std::int32_t index) const { return index >= 0 && index < count(); }

    // Copies one object in; see Add3DObject. The store changes only when
    // every array was read whole.
    std::int32_t add(SafeArray** faces, SafeArray** vertices, SafeArray** indices, float x, float y,
                     float z);
    void remove(std::int32_t index);
    void update(std::int32_t index, std::uint8_t mark, float x, float y, float z);
    void updateFace(std::int32_t index, std::int32_t face, std::uint8_t mark, uintptr_t texture);
    // Every face loses its uploaded texture (its slot name becomes -1).
    void forgetTextures();

    GLObject& object(std::int32_t index) { return objects_[static_cast<std::size_t>(index)]; }
    const GLObject& object(std::int32_t index) const {
        return objects_[static_cast<std::size_t>(index)];
    }
    const std::vector<GLObject>& objects() const { return objects_; }

private:
    bool ready_ = false;
    std::vector<GLObject> objects_;
};

} // namespace meshdraw
