#include "meshglass/class3dPrimitive.hpp"

#include "meshglass/ModelFile.hpp"

#include <cstring>

namespace meshglass {

void class3dPrimitive::Initialize() {
    VertexList.assign(1, 0);
    Color = -1;
    TextureName.clear();
}

bool class3dPrimitive::LoadVertexes(ModelFile& File, std::int32_t Number) {
    // A count of 0 or less cannot resize the list: it keeps its size and as
    // many values are read.
    const std::int64_t count = Number > 0 ? Number : std::int64_t(VertexList.size());
    if (!File.holds(std::int64_t(File.position()), count, 2) ||
        !File.spend(std::uint64_t(count) * 2)) {
        return false;
    }
    const std::span<const std::uint8_t> raw = File.take(std::size_t(count) * 2);
    if (raw.size() != std::size_t(count) * 2) {
        return false;
    }
    VertexList.resize(std::size_t(count));
    for (std::size_t i = 0; i < VertexList.size(); ++i) {
        VertexList[i] = std::int16_t(std::uint16_t(raw[2 * i] | raw[2 * i + 1] << 8));
    }
    return true;
}

void class3dPrimitive::SetVertexes(const std::vector<std::int16_t>& list) {
    VertexList = list;
}

void class3dPrimitive::GetVertexes(std::vector<std::int16_t>& list) const {
    list = VertexList;
}

void class3dPrimitive::SetPrimitive(std::int16_t& sVertCount, std::uint8_t& sColor,
                                    std::uintptr_t& /*sPTRTexture*/,
                                    std::int16_t& /*sTextureWidth*/,
                                    std::int16_t& /*sTextureHeight*/) const {
    sVertCount = std::int16_t(VertexList.size());
    if (Color >= 0 && Color <= 255) {
        sColor = std::uint8_t(Color);
    }
}

} // namespace meshglass
