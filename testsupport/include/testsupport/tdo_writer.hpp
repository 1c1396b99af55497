// Writes small 3DO model files for tests: a tree of pieces, each header
// followed by its name, vertices, polygon records and index arrays, children
// after their parent and linked through the child and sibling offsets.
// Any header field can be overridden to make damaged files.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A coordinate in 16.16 fixed point.
std::int32_t fixed16(double value);

struct TdoPrimitiveSpec {
    std::int32_t color = 0;
    std::vector<std::int16_t> indices;
    std::optional<std::int32_t> indexCount;         // written instead of indices.size()
    std::optional<std::int32_t> indexOffset;        // written instead of the array's real offset
    std::string texture = {};                       // texture name, written after the indices
    std::optional<std::int32_t> textureOffset = {}; // written instead of the name's real offset
};

struct TdoPieceSpec {
    std::string name;
    std::int32_t version = 1;
    std::array<std::int32_t, 3> position{};            // raw 16.16 values
    std::vector<std::array<std::int32_t, 3>> vertices; // raw 16.16 values
    std::vector<TdoPrimitiveSpec> primitives;
    std::int32_t selection = -1;
    std::int32_t reserved = 0;
    std::vector<TdoPieceSpec> children;
    // Written instead of the real values.
    std::optional<std::int32_t> vertexCount, primitiveCount, nameOffset, vertexOffset,
        primitiveOffset, siblingOffset, childOffset;
};

std::vector<std::uint8_t> makeTdo(const TdoPieceSpec& root);

// A piece of `polygons` triangles over three vertices, at (x, 0, 0).
TdoPieceSpec tdoTriangles(std::string name, int polygons, double x = 0);

} // namespace testsupport
