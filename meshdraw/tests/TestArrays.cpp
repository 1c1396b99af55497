#include "TestArrays.hpp"

namespace meshdraw_test {

std::vector<GLPaletteEntry> testPalette() {
    std::vector<GLPaletteEntry> palette(256);
    for (int k = 0; k < 256; ++k) {
        palette[k].red = static_cast<std::uint8_t>(k);
        palette[k].green = static_cast<std::uint8_t>(k * 37);
        palette[k].blue = static_cast<std::uint8_t>(k * 101);
        palette[k].reserved = 0;
    }
    palette[255] = GLPaletteEntry{255, 255, 255, 0};
    return palette;
}

int MeshObject::addPolygon(std::initializer_list<GLVertex> corners, std::uint8_t colour) {
    GLFace face{};
    face.colour = colour;
    face.vertexCount = static_cast<int16_t>(corners.size());
    face.firstIndex = static_cast<int32_t>(indices.size());
    for (const GLVertex& corner : corners) {
        indices.push_back(static_cast<GLIndex>(vertices.size()));
        vertices.push_back(corner);
    }
    faces.push_back(face);
    return static_cast<int>(faces.size()) - 1;
}

int MeshObject::addRectangle(float x0, float y0, float x1, float y1, float z, std::uint8_t colour) {
    return addPolygon({{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}}, colour);
}

void MeshObject::setTexture(int f, const std::uint8_t* texels, int width, int height) {
    faces[f].texture = reinterpret_cast<uintptr_t>(texels);
    faces[f].textureWidth = static_cast<int16_t>(width);
    faces[f].textureHeight = static_cast<int16_t>(height);
}

} // namespace meshdraw_test
