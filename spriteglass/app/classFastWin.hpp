// A drawing surface of palette indices shown in a window: the 8-bit surface
// of the engine, seen by Qt as a QImage::Format_Indexed8 whose colour table
// is the game palette. The tile copies are the surface's own.
#pragma once

#include "spriteglass/palette.hpp"
#include "spriteglass/surface.hpp"

#include <QImage>
#include <QPointer>
#include <QWidget>

class QPainter;

namespace spriteglass {

class classFastWin {
public:
    // Creates a Width x Height surface for ActiveWindow. False when the
    // memory cannot be had (the owner then shows the memory message).
    bool Initialize(int Width, int Height, QWidget* ActiveWindow, const Palette& palette);
    // Copies a surface rectangle onto ScreenDC. Without StretchFlag the
    // DestWidth x DestHeight rectangle at (SrcLeft, SrcTop) is copied to
    // (DestLeft, DestTop) and SrcWidth, SrcHeight are ignored.
    void Show(QPainter& ScreenDC, int DestLeft, int DestTop, int DestWidth, int DestHeight,
              int SrcLeft, int SrcTop, int SrcWidth, int SrcHeight, bool StretchFlag) const;
    void TileDraw(int xPos, int yPos, int Width, int Height, std::span<const std::uint8_t> Buffer,
                  std::size_t TilePosition);
    void ClearTileDraw(int xPos, int yPos, int Width, int Height,
                       std::span<const std::uint8_t> Buffer, std::uint8_t MaskColor,
                       std::uint8_t BackColor, int ClearFlag);
    // Releases the surface.
    void Release();

    bool hBitmap() const { return surface_.addrBits() != nullptr; }
    int BmpWidth() const { return surface_.BmpWidth(); }
    int BmpHeight() const { return surface_.BmpHeight(); }
    IndexedSurface& surface() { return surface_; }
    // The surface as an image sharing its bits.
    QImage image() const;

    static QString memoryMessage();

private:
    IndexedSurface surface_;
    QList<QRgb> colours_;
    QPointer<QWidget> hWindow_;
};

} // namespace spriteglass
