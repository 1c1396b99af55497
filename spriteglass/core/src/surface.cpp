#include "spriteglass/surface.hpp"

#include <algorithm>
#include <cstring>
#include <new>

namespace spriteglass {

namespace {

// The part of a tile row that falls inside the surface: first tile column
// and the number of columns; count <= 0 when none.
struct Span {
    std::int64_t first;
    std::int64_t count;
};

Span clipColumns(std::int64_t x, std::int64_t width, std::int64_t bmpWidth) {
    const std::int64_t first = std::max<std::int64_t>(0, -x);
    const std::int64_t last = std::min<std::int64_t>(width, bmpWidth - x); // exclusive
    return {first, last - first};
}

bool tileFits(int width, int height, std::span<const std::uint8_t> tile, const std::uint8_t* bits) {
    return bits && width > 0 && height > 0 &&
           std::uint64_t(width) * std::uint64_t(height) <= tile.size();
}

} // namespace

bool IndexedSurface::Initialize(int Width, int Height) {
    Release();
    if (Width <= 0 || Height <= 0 || std::int64_t(Width) * Height > MaxPixels) {
        return false;
    }
    try {
        bits_.assign(std::size_t(Width) * std::size_t(Height), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width_ = Width;
    height_ = Height;
    return true;
}

void IndexedSurface::Release() {
    bits_.clear();
    bits_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
}

void IndexedSurface::TileDraw(int xPos, int yPos, int Width, int Height,
                              std::span<const std::uint8_t> Buffer, std::size_t TilePosition) {
    if (TilePosition > Buffer.size()) {
        return;
    }
    WriteTile(xPos, yPos, Width, Height, width_, height_, addrBits(), Buffer.subspan(TilePosition));
}

void IndexedSurface::ClearTileDraw(int xPos, int yPos, int Width, int Height,
                                   std::span<const std::uint8_t> Buffer, std::uint8_t MaskColor,
                                   std::uint8_t BackColor, int ClearFlag) {
    ClearTile(xPos, yPos, Width, Height, width_, height_, addrBits(), Buffer, MaskColor, BackColor,
              ClearFlag);
}

void IndexedSurface::WriteTile(int x, int y, int width, int height, int bmpWidth, int bmpHeight,
                               std::uint8_t* bits, std::span<const std::uint8_t> tile) {
    if (!tileFits(width, height, tile, bits)) {
        return;
    }
    const Span columns = clipColumns(x, width, bmpWidth);
    if (columns.count <= 0) {
        return;
    }
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t sy = std::int64_t(y) + row;
        if (sy < 0 || sy >= bmpHeight) {
            continue;
        }
        std::memcpy(bits + sy * bmpWidth + x + columns.first,
                    tile.data() + row * width + columns.first, std::size_t(columns.count));
    }
}

void IndexedSurface::ClearTile(int x, int y, int width, int height, int bmpWidth, int bmpHeight,
                               std::uint8_t* bits, std::span<const std::uint8_t> tile,
                               std::uint8_t MaskColor, std::uint8_t BackColor, int ClearFlag) {
    if (!tileFits(width, height, tile, bits)) {
        return;
    }
    const Span columns = clipColumns(x, width, bmpWidth);
    if (columns.count <= 0) {
        return;
    }
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t sy = std::int64_t(y) + row;
        if (sy < 0 || sy >= bmpHeight) {
            continue;
        }
        std::uint8_t* out = bits + sy * bmpWidth + x + columns.first;
        const std::uint8_t* in = tile.data() + row * width + columns.first;
        for (std::int64_t i = 0; i < columns.count; ++i) {
            if (in[i] != MaskColor) {
                out[i] = in[i];
            } else if (ClearFlag == 0) {
                out[i] = BackColor;
            }
        }
    }
}

} // namespace spriteglass
