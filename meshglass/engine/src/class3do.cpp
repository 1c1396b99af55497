// Reading one piece and its subtree.
#include "meshglass/class3do.hpp"

#include "meshglass/ModelFile.hpp"

#include <array>
#include <cstring>

namespace meshglass {

namespace {

std::int32_t int32At(const std::uint8_t* bytes) {
    return std::int32_t(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                        std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
}

// 16.16 fixed point through double to float.
float fixedToFloat(std::int32_t value) {
    return float(double(value) / 65536.0);
}

// Undoes one level of the load: the depth and the path entries it added.
class PathScope {
public:
    explicit PathScope(ModelFile& file) : file_(file) {}
    ~PathScope() {
        for (std::int64_t offset : added_) {
            file_.path.erase(offset);
        }
    }
    PathScope(const PathScope&) = delete;
    PathScope& operator=(const PathScope&) = delete;
    // False when the offset is already on the path.
    bool add(std::int64_t offset) {
        if (!file_.path.insert(offset).second) {
            return false;
        }
        added_.push_back(offset);
        return true;
    }

private:
    ModelFile& file_;
    std::vector<std::int64_t> added_;
};

// The zero-ended name at offset, read in place; empty when the offset is 0,
// outside the file, or the name is longer than MaxTextureNameLength.
std::string TextureNameAt(const ModelFile& File, std::int32_t offset) {
    const std::span<const std::uint8_t> bytes = File.bytes();
    if (offset <= 0 || std::uint64_t(offset) >= bytes.size()) {
        return {};
    }
    std::string name;
    for (std::size_t k = std::size_t(offset); k < bytes.size(); ++k) {
        if (bytes[k] == 0) {
            return name;
        }
        if (name.size() == MaxTextureNameLength) {
            break;
        }
        name.push_back(char(bytes[k]));
    }
    return {};
}

} // namespace

void class3do::Initialize() {
    Name.clear();
    Objects.clear();
    Header = ObjectHeader{};
    Position = class3dVertex{};
    Vertices.assign(1, class3dVertex{});
    Primitives.assign(1, class3dPrimitive{});
    GLVertices.clear();
    GLFaces.clear();
}

const class3do* class3do::Object(std::string_view key) const {
    for (const auto& child : Objects) {
        if (child->Name == key) {
            return child.get();
        }
    }
    return nullptr;
}

bool class3do::AddObject(std::unique_ptr<class3do> child) {
    if (child == nullptr || Object(child->Name) != nullptr) {
        return false;
    }
    Objects.push_back(std::move(child));
    return true;
}

void class3do::Load(ModelFile& File, std::int32_t& next) {
    next = 0;
    Initialize();
    const std::int64_t ownOffset = std::int64_t(File.position());
    ++File.depth;
    struct DepthScope {
        ModelFile& file;
        ~DepthScope() { --file.depth; }
    } depthScope{File};

    if (!ReadHeader(File)) {
        return;
    }
    if (Header.VersionSignature != 1) {
        Initialize();
        return;
    }
    if (!ReadName(File)) {
        return;
    }
    ReadVertices(File);
    if (Header.PrimitiveCount != 0) {
        ReadPrimitives(File);
    }
    if (Header.ChildOffset != 0 && !ReadChildren(File, ownOffset)) {
        return;
    }
    next = Header.SiblingOffset;
}

bool class3do::ReadHeader(ModelFile& File) {
    std::array<std::uint8_t, ObjectHeaderSize> raw{};
    if (!File.spend(raw.size()) || !File.read(raw)) {
        return false;
    }
    std::int32_t fields[13];
    for (int i = 0; i < 13; ++i) {
        fields[i] = int32At(raw.data() + 4 * i);
    }
    static_assert(sizeof(ObjectHeader) == sizeof fields);
    std::memcpy(&Header, fields, sizeof fields);
    Position.SetVertex(fixedToFloat(Header.XFromParent), fixedToFloat(Header.YFromParent),
                       fixedToFloat(Header.ZFromParent));
    return true;
}

bool class3do::ReadName(ModelFile& File) {
    Name.clear();
    if (!File.seek(Header.NameOffset)) {
        return false;
    }
    std::uint8_t byte = 0;
    while (File.readByte(byte)) {
        if (byte == 0) {
            return File.spend(Name.size() + 1);
        }
        Name.push_back(char(byte));
    }
    // No terminating zero before the end of the file.
    return false;
}

void class3do::ReadVertices(ModelFile& File) {
    const std::int32_t count = Header.VertexCount;
    if (count <= 0 || !File.holds(Header.VertexArrayOffset, count, VertexRecordSize) ||
        !File.spend(std::uint64_t(count) * VertexRecordSize) ||
        !File.seek(Header.VertexArrayOffset)) {
        return;
    }
    const std::span<const std::uint8_t> raw = File.take(std::size_t(count) * VertexRecordSize);
    if (raw.empty()) {
        return;
    }
    Vertices.resize(std::size_t(count));
    for (std::size_t i = 0; i < Vertices.size(); ++i) {
        const std::uint8_t* record = raw.data() + i * VertexRecordSize;
        Vertices[i].SetVertex(fixedToFloat(int32At(record)), fixedToFloat(int32At(record + 4)),
                              fixedToFloat(int32At(record + 8)));
    }
}

void class3do::ReadPrimitives(ModelFile& File) {
    const std::int32_t count = Header.PrimitiveCount;
    // The block of records must lie in the file before the list is resized,
    // so a hostile count cannot ask for more than the file holds.
    if (count < 0 || !File.holds(Header.PrimitiveArrayOffset, count, PrimitiveRecordSize) ||
        !File.spend(std::uint64_t(count) * PrimitiveRecordSize) ||
        !File.seek(Header.PrimitiveArrayOffset)) {
        File.reportError();
        return;
    }
    const std::span<const std::uint8_t> raw = File.take(std::size_t(count) * PrimitiveRecordSize);
    if (raw.size() != std::size_t(count) * PrimitiveRecordSize) {
        File.reportError();
        return;
    }
    Primitives.clear();
    Primitives.reserve(std::size_t(count));
    for (std::size_t i = 0; i < std::size_t(count); ++i) {
        const std::uint8_t* record = raw.data() + i * PrimitiveRecordSize;
        const std::int32_t colorIndex = int32At(record);
        const std::int32_t indexCount = int32At(record + 4);
        const std::int32_t indexOffset = int32At(record + 12);
        // Each polygon starts reset; its list is sized for the load only
        // when the values are in the file.
        const std::int64_t listSize = indexCount > 0 ? indexCount : 1;
        Primitives.emplace_back(File.holds(indexOffset, listSize, 2) ? std::size_t(listSize) : 1);
        class3dPrimitive& primitive = Primitives.back();
        // A failed index array is reported and reading goes on with the
        // polygon's next step: the colour is still taken.
        if (!File.seek(indexOffset) || !primitive.LoadVertexes(File, indexCount)) {
            primitive.Initialize();
            File.reportError();
        }
        if (colorIndex >= 1 && colorIndex <= 255) {
            primitive.Color = std::int16_t(colorIndex);
        }
        primitive.TextureName = TextureNameAt(File, int32At(record + PrimitiveTextureNameField));
    }
}

bool class3do::ReadChildren(ModelFile& File, std::int64_t ownOffset) {
    PathScope scope(File);
    scope.add(ownOffset);
    std::int64_t position = Header.ChildOffset;
    while (position != 0) {
        // A cycle, a tree too deep or a spent budget ends this piece's load.
        if (File.depth >= MaxPieceDepth || !scope.add(position) || !File.seek(position)) {
            return false;
        }
        auto child = std::make_unique<class3do>();
        std::int32_t childNext = 0;
        child->Load(File, childNext);
        if (!AddObject(std::move(child))) {
            return false;
        }
        position = childNext;
    }
    return true;
}

std::unique_ptr<class3do> LoadModel(ModelFile& File) {
    auto model = std::make_unique<class3do>();
    std::int32_t next = 0;
    File.seek(0);
    model->Load(File, next);
    return model;
}

} // namespace meshglass
