// One polygon of a model piece: its palette colour, the indices of its
// vertices in the piece's vertex array, and the name of its texture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace meshglass {

class ModelFile;

class class3dPrimitive {
public:
    class3dPrimitive() { Initialize(); }
    // A reset primitive whose list already holds listSize zeros (so a load
    // of that many values needs no second allocation).
    explicit class3dPrimitive(std::size_t listSize) : VertexList(listSize, 0) {}

    // VertexList = (0), Color = -1, no texture name.
    void Initialize();
    // Resizes VertexList to Number elements and reads Number int16 values at
    // the file's position. When Number is 0 or negative the list keeps its
    // size and that many values are read. False when the values are not all
    // in the file (the list is then left as it was).
    bool LoadVertexes(ModelFile& File, std::int32_t Number);
    void SetVertexes(const std::vector<std::int16_t>& VertexList);
    void GetVertexes(std::vector<std::int16_t>& VertexList) const;
    // sVertCount = the number of indices; sColor = Color as a byte when it is
    // 0 to 255 (else unchanged). The texture fields are left as they are.
    void SetPrimitive(std::int16_t& sVertCount, std::uint8_t& sColor, std::uintptr_t& sPTRTexture,
                      std::int16_t& sTextureWidth, std::int16_t& sTextureHeight) const;

    std::int16_t Color = -1;
    std::vector<std::int16_t> VertexList;
    // The GAF entry name of the polygon's texture; empty when it has none.
    std::string TextureName;
};

} // namespace meshglass
