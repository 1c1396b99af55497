// An 8-bit surface of palette indices and its tile copies. Rows are exactly
// BmpWidth bytes; pixel (x, y) is addrBits()[y * BmpWidth + x].
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace spriteglass {

class IndexedSurface {
public:
    // Largest surface made, in pixels.
    static constexpr std::int64_t MaxPixels = 16ll * 1024 * 1024;

    // Makes a Width x Height surface. False when the size is not positive,
    // too large, or the memory cannot be had; the surface is then empty.
    bool Initialize(int Width, int Height);
    void Release();

    int BmpWidth() const { return width_; }
    int BmpHeight() const { return height_; }
    std::uint8_t* addrBits() { return bits_.empty() ? nullptr : bits_.data(); }
    const std::uint8_t* addrBits() const { return bits_.empty() ? nullptr : bits_.data(); }
    std::uint8_t pixel(int x, int y) const { return bits_[std::size_t(y) * width_ + x]; }

    // Copies a Width x Height tile stored row after row in Buffer from
    // TilePosition on, every pixel opaque.
    void TileDraw(int xPos, int yPos, int Width, int Height, std::span<const std::uint8_t> Buffer,
                  std::size_t TilePosition);
    // Copies a tile from the start of Buffer with a mask index: see ClearTile.
    void ClearTileDraw(int xPos, int yPos, int Width, int Height,
                       std::span<const std::uint8_t> Buffer, std::uint8_t MaskColor,
                       std::uint8_t BackColor, int ClearFlag);

    // The tile copies on raw bits. Pixels of the rectangle outside the
    // surface are not written; a tile shorter than Width x Height is not drawn.
    static void WriteTile(int x, int y, int width, int height, int bmpWidth, int bmpHeight,
                          std::uint8_t* bits, std::span<const std::uint8_t> tile);
    // ClearFlag 0: every pixel of the rectangle is written, BackColor where
    // the tile holds MaskColor. ClearFlag 1: only tile pixels other than
    // MaskColor are written; the surface keeps its pixels under the others.
    static void ClearTile(int x, int y, int width, int height, int bmpWidth, int bmpHeight,
                          std::uint8_t* bits, std::span<const std::uint8_t> tile,
                          std::uint8_t MaskColor, std::uint8_t BackColor, int ClearFlag);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bits_;
};

} // namespace spriteglass
