// A textured fixture model and its texture file, made by the fixture
// writers: one piece with three textured quads side by side in the plane
// z = 0 (facing the start camera) and a textured triangle above them, and a
// GAF with one 2 x 2 texture per quad whose four texels differ.
#pragma once

#include <testsupport/gaf_writer.hpp>
#include <testsupport/tdo_writer.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace meshglass_test {

// Texel colours (palette indices) of texture k (0..2), row 0 first.
inline std::vector<std::uint8_t> fixtureTexels(int k) {
    const auto base = std::uint8_t(20 + 40 * k);
    return {base, std::uint8_t(base + 8), std::uint8_t(base + 16), std::uint8_t(base + 24)};
}

inline const char* fixtureTextureName(int k) {
    static const char* names[] = {"PlateA", "plateb", "PLATEC"};
    return names[k];
}

// Quad k spans x = -30 + 20k .. -12 + 20k, y = 5 .. 35.
inline testsupport::TdoPieceSpec texturedPiece() {
    using testsupport::fixed16;
    testsupport::TdoPieceSpec piece;
    piece.name = "base";
    for (int k = 0; k < 3; ++k) {
        const double x0 = -30 + 20 * k;
        const double x1 = x0 + 18;
        const auto first = std::int16_t(piece.vertices.size());
        piece.vertices.push_back({fixed16(x0), fixed16(5), 0});
        piece.vertices.push_back({fixed16(x1), fixed16(5), 0});
        piece.vertices.push_back({fixed16(x1), fixed16(35), 0});
        piece.vertices.push_back({fixed16(x0), fixed16(35), 0});
        testsupport::TdoPrimitiveSpec quad;
        quad.color = 3;
        quad.indices = {first, std::int16_t(first + 1), std::int16_t(first + 2),
                        std::int16_t(first + 3)};
        quad.texture = fixtureTextureName(k);
        piece.primitives.push_back(quad);
    }
    const auto top = std::int16_t(piece.vertices.size());
    piece.vertices.push_back({fixed16(-10), fixed16(38), 0});
    piece.vertices.push_back({fixed16(10), fixed16(38), 0});
    piece.vertices.push_back({fixed16(0), fixed16(48), 0});
    testsupport::TdoPrimitiveSpec triangle;
    triangle.color = 4;
    triangle.indices = {top, std::int16_t(top + 1), std::int16_t(top + 2)};
    triangle.texture = "platea";
    piece.primitives.push_back(triangle);
    return piece;
}

// The texture file; entry names differ in case from the model's names.
inline std::vector<std::uint8_t> fixtureTextureGaf() {
    std::vector<testsupport::GafEntrySpec> entries;
    const char* stored[] = {"platea", "PlateB", "platec"};
    for (int k = 0; k < 3; ++k) {
        entries.push_back({stored[k], {testsupport::rawFrame(2, 2, fixtureTexels(k))}});
    }
    return testsupport::makeGaf(entries);
}

} // namespace meshglass_test
