#include "classFastWin.hpp"

#include "ProgramPalette.hpp"

#include <QPainter>

namespace spriteglass {

bool classFastWin::Initialize(int Width, int Height, QWidget* ActiveWindow,
                              const Palette& palette) {
    colours_ = ColourTable(palette);
    hWindow_ = ActiveWindow;
    return surface_.Initialize(Width, Height);
}

QImage classFastWin::image() const {
    if (!hBitmap()) {
        return {};
    }
    // Rows are BmpWidth bytes; every surface made here has a width that is a
    // multiple of 4, as QImage's row alignment wants.
    QImage view(surface_.addrBits(), surface_.BmpWidth(), surface_.BmpHeight(), surface_.BmpWidth(),
                QImage::Format_Indexed8);
    view.setColorTable(colours_);
    return view;
}

void classFastWin::Show(QPainter& ScreenDC, int DestLeft, int DestTop, int DestWidth,
                        int DestHeight, int SrcLeft, int SrcTop, int SrcWidth, int SrcHeight,
                        bool StretchFlag) const {
    if (!hWindow_ || !hBitmap()) {
        return;
    }
    const QImage view = image();
    if (StretchFlag) {
        ScreenDC.drawImage(QRect(DestLeft, DestTop, DestWidth, DestHeight), view,
                           QRect(SrcLeft, SrcTop, SrcWidth, SrcHeight));
    } else {
        ScreenDC.drawImage(QPoint(DestLeft, DestTop), view,
                           QRect(SrcLeft, SrcTop, DestWidth, DestHeight));
    }
}

void classFastWin::TileDraw(int xPos, int yPos, int Width, int Height,
                            std::span<const std::uint8_t> Buffer, std::size_t TilePosition) {
    surface_.TileDraw(xPos, yPos, Width, Height, Buffer, TilePosition);
}

void classFastWin::ClearTileDraw(int xPos, int yPos, int Width, int Height,
                                 std::span<const std::uint8_t> Buffer, std::uint8_t MaskColor,
                                 std::uint8_t BackColor, int ClearFlag) {
    surface_.ClearTileDraw(xPos, yPos, Width, Height, Buffer, MaskColor, BackColor, ClearFlag);
}

void classFastWin::Release() {
    surface_.Release();
}

QString classFastWin::memoryMessage() {
    return QStringLiteral("The memory for the graphics window could not be allocated.  Try "
                          "clearing up memory, hard drive space, or rebooting.");
}

} // namespace spriteglass
