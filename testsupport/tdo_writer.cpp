#include "testsupport/tdo_writer.hpp"

#include <cmath>
#include <cstring>

namespace testsupport {

namespace {

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::int32_t value) {
    const auto v = std::uint32_t(value);
    out[at] = std::uint8_t(v);
    out[at + 1] = std::uint8_t(v >> 8);
    out[at + 2] = std::uint8_t(v >> 16);
    out[at + 3] = std::uint8_t(v >> 24);
}

void append32(std::vector<std::uint8_t>& out, std::int32_t value) {
    out.resize(out.size() + 4);
    put32(out, out.size() - 4, value);
}

std::int32_t here(const std::vector<std::uint8_t>& out) {
    return std::int32_t(out.size());
}

// Writes one piece and its subtree at the end of out; returns its header offset.
std::int32_t emit(std::vector<std::uint8_t>& out, const TdoPieceSpec& piece) {
    const std::int32_t header = here(out);
    out.resize(out.size() + 52, 0);

    const std::int32_t nameOffset = here(out);
    out.insert(out.end(), piece.name.begin(), piece.name.end());
    out.push_back(0);

    const std::int32_t vertexOffset = here(out);
    for (const auto& v : piece.vertices) {
        append32(out, v[0]);
        append32(out, v[1]);
        append32(out, v[2]);
    }

    const std::int32_t primitiveOffset = here(out);
    out.resize(out.size() + 32 * piece.primitives.size(), 0);
    for (std::size_t i = 0; i < piece.primitives.size(); ++i) {
        const TdoPrimitiveSpec& p = piece.primitives[i];
        const std::int32_t indexOffset = here(out);
        for (std::int16_t index : p.indices) {
            out.push_back(std::uint8_t(std::uint16_t(index)));
            out.push_back(std::uint8_t(std::uint16_t(index) >> 8));
        }
        std::int32_t textureOffset = 0;
        if (!p.texture.empty()) {
            textureOffset = here(out);
            out.insert(out.end(), p.texture.begin(), p.texture.end());
            out.push_back(0);
        }
        const std::size_t record = std::size_t(primitiveOffset) + 32 * i;
        put32(out, record + 16, p.textureOffset.value_or(textureOffset));
        put32(out, record, p.color);
        put32(out, record + 4, p.indexCount.value_or(std::int32_t(p.indices.size())));
        put32(out, record + 12, p.indexOffset.value_or(indexOffset));
    }

    std::vector<std::int32_t> children;
    for (const TdoPieceSpec& child : piece.children) {
        children.push_back(emit(out, child));
    }
    for (std::size_t i = 0; i + 1 < children.size(); ++i) {
        // A child's own override wins over the chain link.
        if (!piece.children[i].siblingOffset) {
            put32(out, std::size_t(children[i]) + 44, children[i + 1]);
        }
    }

    const std::int32_t fields[13] = {
        piece.version,
        piece.vertexCount.value_or(std::int32_t(piece.vertices.size())),
        piece.primitiveCount.value_or(std::int32_t(piece.primitives.size())),
        piece.selection,
        piece.position[0],
        piece.position[1],
        piece.position[2],
        piece.nameOffset.value_or(nameOffset),
        piece.reserved,
        piece.vertexOffset.value_or(vertexOffset),
        piece.primitiveOffset.value_or(primitiveOffset),
        piece.siblingOffset.value_or(0),
        piece.childOffset.value_or(children.empty() ? 0 : children.front())};
    for (int i = 0; i < 13; ++i) {
        put32(out, std::size_t(header) + 4 * std::size_t(i), fields[i]);
    }
    return header;
}

} // namespace

std::int32_t fixed16(double value) {
    return std::int32_t(std::lround(value * 65536.0));
}

std::vector<std::uint8_t> makeTdo(const TdoPieceSpec& root) {
    std::vector<std::uint8_t> out;
    emit(out, root);
    return out;
}

TdoPieceSpec tdoTriangles(std::string name, int polygons, double x) {
    TdoPieceSpec piece;
    piece.name = std::move(name);
    piece.position = {fixed16(x), 0, 0};
    piece.vertices = {{0, 0, 0}, {fixed16(1), 0, 0}, {0, fixed16(1), 0}};
    for (int i = 0; i < polygons; ++i) {
        piece.primitives.push_back({std::int32_t(1 + i % 255), {0, 1, 2}, {}, {}});
    }
    return piece;
}

} // namespace testsupport
