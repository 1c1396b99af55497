// Builders of the arrays the library takes: palettes and objects made of
// polygons, handed over as SafeArray** the way callers do.
#pragma once

#include "meshdraw.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace meshdraw_test {

// Holds one SafeArray and a pointer to it, so callers can pass its address.
class ArrayRef {
public:
    explicit ArrayRef(SafeArray array) : array_(array), pointer_(&array_) {}
    ArrayRef(const ArrayRef&) = delete;
    ArrayRef& operator=(const ArrayRef&) = delete;

    SafeArray** get() { return &pointer_; }
    SafeArray& array() { return array_; }

private:
    SafeArray array_;
    SafeArray* pointer_;
};

template <class T> SafeArray arrayOf(std::vector<T>& elements) {
    return SafeArrayOver(elements.data(), static_cast<int32_t>(elements.size()),
                         static_cast<int32_t>(sizeof(T)));
}

// Entry k: red k, green 37k, blue 101k (mod 256); entry 0 black, 255 white.
std::vector<GLPaletteEntry> testPalette();

// One object under construction: faces, vertices and their indices.
struct MeshObject {
    std::vector<GLFace> faces;
    std::vector<GLVertex> vertices;
    std::vector<GLIndex> indices;

    // Appends a polygon through new vertices; returns its face index.
    int addPolygon(std::initializer_list<GLVertex> corners, std::uint8_t colour);
    // An axis-aligned rectangle in the plane z (corners counter-clockwise from
    // (x0, y0)).
    int addRectangle(float x0, float y0, float x1, float y1, float z, std::uint8_t colour);
    // Gives face f a texture of width x height palette indices.
    void setTexture(int f, const std::uint8_t* texels, int width, int height);

    // Add3DObject through the library's exports.
    int32_t addToLibrary(float x = 0, float y = 0, float z = 0) {
        ArrayRef faceRef(arrayOf(faces));
        ArrayRef vertexRef(arrayOf(vertices));
        ArrayRef indexRef(arrayOf(indices));
        return Add3DObject(faceRef.get(), vertexRef.get(), indexRef.get(), x, y, z);
    }
};

} // namespace meshdraw_test
