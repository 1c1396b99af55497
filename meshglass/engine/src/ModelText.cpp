#include "meshglass/ModelText.hpp"

#include "common/json.hpp"

#include <cstdio>
#include <set>

namespace meshglass {

namespace {

void appendFloat(std::string& out, float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", double(value));
    out += buffer;
}

void appendPoint(std::string& out, float x, float y, float z) {
    out += '[';
    appendFloat(out, x);
    out += ',';
    appendFloat(out, y);
    out += ',';
    appendFloat(out, z);
    out += ']';
}

// Names are single-byte text: each byte is the character of that code
// point, written as UTF-8.
void appendString(std::string& out, const std::string& text) {
    std::string utf8;
    for (unsigned char c : text) {
        if (c < 0x80) {
            utf8 += char(c);
        } else {
            utf8 += char(0xC0 | (c >> 6));
            utf8 += char(0x80 | (c & 0x3F));
        }
    }
    out += common::jsonString(utf8);
}

void appendHeader(std::string& out, const ObjectHeader& h) {
    const std::pair<const char*, std::int32_t> fields[] = {
        {"VersionSignature", h.VersionSignature},
        {"VertexCount", h.VertexCount},
        {"PrimitiveCount", h.PrimitiveCount},
        {"SelectionPrimitive", h.SelectionPrimitive},
        {"XFromParent", h.XFromParent},
        {"YFromParent", h.YFromParent},
        {"ZFromParent", h.ZFromParent},
        {"NameOffset", h.NameOffset},
        {"Reserved", h.Reserved},
        {"VertexArrayOffset", h.VertexArrayOffset},
        {"PrimitiveArrayOffset", h.PrimitiveArrayOffset},
        {"SiblingOffset", h.SiblingOffset},
        {"ChildOffset", h.ChildOffset}};
    out += '{';
    bool first = true;
    for (const auto& [name, value] : fields) {
        if (!first) {
            out += ',';
        }
        first = false;
        out += '"';
        out += name;
        out += "\":";
        out += std::to_string(value);
    }
    out += '}';
}

void appendPiece(std::string& out, const class3do& piece) {
    out += "{\"name\":";
    appendString(out, piece.Name);
    out += ",\"position\":";
    appendPoint(out, piece.Position.x, piece.Position.y, piece.Position.z);
    out += ",\"header\":";
    appendHeader(out, piece.Header);
    out += ",\"vertices\":[";
    for (std::size_t i = 0; i < piece.Vertices.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendPoint(out, piece.Vertices[i].x, piece.Vertices[i].y, piece.Vertices[i].z);
    }
    out += "],\"primitives\":[";
    for (std::size_t i = 0; i < piece.Primitives.size(); ++i) {
        const class3dPrimitive& primitive = piece.Primitives[i];
        out += i > 0 ? ",{\"color\":" : "{\"color\":";
        out += std::to_string(primitive.Color);
        out += ",\"indices\":[";
        for (std::size_t k = 0; k < primitive.VertexList.size(); ++k) {
            if (k > 0) {
                out += ',';
            }
            out += std::to_string(primitive.VertexList[k]);
        }
        out += "]}";
    }
    out += "],\"children\":[";
    for (std::size_t i = 0; i < piece.Objects.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        appendPiece(out, *piece.Objects[i]);
    }
    out += "]}";
}

} // namespace

std::string ModelJson(const class3do& root, int errors) {
    std::string out = "{\"errors\":" + std::to_string(errors) + ",\"root\":";
    appendPiece(out, root);
    out += "}\n";
    return out;
}

std::int32_t CollectingRenderer::Add3DObject(const RenderObject& object) {
    CollectedObject copy;
    copy.name = std::string(object.name);
    copy.x = object.x;
    copy.y = object.y;
    copy.z = object.z;
    copy.faces.assign(object.faces.begin(), object.faces.end());
    copy.vertices.assign(object.vertices.begin(), object.vertices.end());
    copy.indices.assign(object.indices.begin(), object.indices.end());
    objects.push_back(std::move(copy));
    return std::int32_t(objects.size() - 1);
}

std::string ObjectsJson(const std::vector<CollectedObject>& objects, int errors) {
    std::string out = "{\"errors\":" + std::to_string(errors) + ",\"objects\":[";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const CollectedObject& object = objects[i];
        out += i > 0 ? ",{\"name\":" : "{\"name\":";
        appendString(out, object.name);
        out += ",\"position\":";
        appendPoint(out, object.x, object.y, object.z);
        out += ",\"faces\":" + std::to_string(object.faces.size());
        out += ",\"vertices\":" + std::to_string(object.vertices.size());
        out += ",\"indices\":" + std::to_string(object.indices.size()) + "}";
    }
    out += "]}\n";
    return out;
}

namespace {

// OBJ names may not hold blanks; control characters and blanks become '_'.
std::string objName(const std::string& name, std::size_t number) {
    std::string out;
    for (unsigned char c : name) {
        out += (c <= 0x20 || c == 0x7F) ? '_' : char(c);
    }
    return out.empty() ? "piece_" + std::to_string(number) : out;
}

// The texture file of a face drawn textured, or null.
const std::string* textureFileOf(const RenderFace& face, const TextureFiles& textureFiles) {
    if (face.vertexCount != 4 || face.texture == 0) {
        return nullptr;
    }
    const auto it = textureFiles.find(face.texture);
    return it == textureFiles.end() ? nullptr : &it->second;
}

std::string textureMaterial(const std::string& file) {
    const std::size_t dot = file.rfind('.');
    return "texture_" + file.substr(0, dot);
}

std::set<int> coloursUsed(const std::vector<CollectedObject>& objects,
                          const TextureFiles& textureFiles) {
    std::set<int> used;
    for (const CollectedObject& object : objects) {
        for (const RenderFace& face : object.faces) {
            if (textureFileOf(face, textureFiles) == nullptr) {
                used.insert(face.colour);
            }
        }
    }
    return used;
}

} // namespace

std::string ObjText(const std::vector<CollectedObject>& objects, const std::string& mtlName,
                    const TextureFiles& textureFiles) {
    std::string out = "# 3DO model export\nmtllib " + mtlName + "\n";
    std::size_t base = 1;        // OBJ vertex numbers start at 1 and run over the whole file
    std::size_t textureBase = 1; // so do texture coordinate numbers
    for (std::size_t n = 0; n < objects.size(); ++n) {
        const CollectedObject& object = objects[n];
        out += "g " + objName(object.name, n) + "\n";
        for (const RenderVertex& v : object.vertices) {
            out += "v ";
            appendFloat(out, v.x + object.x);
            out += ' ';
            appendFloat(out, v.y + object.y);
            out += ' ';
            appendFloat(out, v.z + object.z);
            out += '\n';
        }
        std::string material;
        for (const RenderFace& face : object.faces) {
            const std::string* texture = textureFileOf(face, textureFiles);
            std::set<std::int16_t> distinct;
            std::string numbers;
            for (int k = 0; k < face.vertexCount; ++k) {
                const std::int16_t index = object.indices[std::size_t(face.firstIndex + k)];
                distinct.insert(index);
                numbers += ' ' + std::to_string(base + std::size_t(index));
                if (texture != nullptr) {
                    numbers += '/' + std::to_string(textureBase + std::size_t(k));
                }
            }
            if (distinct.size() < 2) {
                continue;
            }
            const std::string wanted = texture != nullptr ? textureMaterial(*texture)
                                                          : "colour_" + std::to_string(face.colour);
            if (wanted != material) {
                material = wanted;
                out += "usemtl " + material + "\n";
            }
            if (texture != nullptr) {
                // (0, 0), (1, 0), (1, 1), (0, 1) of the texture, whose row 0
                // is the picture's top (OBJ counts v from the bottom).
                out += "vt 0 1\nvt 1 1\nvt 1 0\nvt 0 0\n";
                textureBase += 4;
            }
            out += (face.vertexCount == 2 ? "l" : "f") + numbers + "\n";
        }
        base += object.vertices.size();
    }
    return out;
}

std::string MtlText(const std::vector<CollectedObject>& objects,
                    const std::array<std::uint8_t, 1024>& palette,
                    const TextureFiles& textureFiles) {
    std::string out = "# palette colours of a 3DO model export\n";
    char buffer[96];
    std::set<std::string> files;
    for (const auto& [address, file] : textureFiles) {
        files.insert(file);
    }
    for (const std::string& file : files) {
        out += "newmtl " + textureMaterial(file) + "\nKd 1 1 1\nmap_Kd " + file + "\n";
    }
    for (int colour : coloursUsed(objects, textureFiles)) {
        const std::uint8_t* entry = palette.data() + 4 * colour;
        std::snprintf(buffer, sizeof buffer, "newmtl colour_%d\nKd %.6g %.6g %.6g\n", colour,
                      entry[2] / 255.0, entry[1] / 255.0, entry[0] / 255.0);
        out += buffer;
    }
    return out;
}

} // namespace meshglass
