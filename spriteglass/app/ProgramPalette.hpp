// The one game palette of the running program, read from "palette.dat" in
// the program directory (then ../share/crateward/).
#pragma once

#include "spriteglass/palette.hpp"

#include <QList>
#include <QRgb>

namespace spriteglass {

Palette& ProgramPalette();
// Fills ProgramPalette() from the program's palette file; a missing or short
// file leaves the entries not read black, without a message.
void LoadProgramPalette();
// The palette as the colour table of an 8-bit QImage.
QList<QRgb> ColourTable(const Palette& palette);

} // namespace spriteglass
