#include "ProgramPalette.hpp"

#include "common/program_paths.hpp"

namespace spriteglass {

Palette& ProgramPalette() {
    static Palette palette{};
    return palette;
}

void LoadProgramPalette() {
    ProgramPalette() = LoadPalette(common::ProgramDataFile("palette.dat"));
}

QList<QRgb> ColourTable(const Palette& palette) {
    QList<QRgb> table;
    table.reserve(256);
    for (int k = 0; k < 256; ++k) {
        table.push_back(qRgb(palette[4 * k + 2], palette[4 * k + 1], palette[4 * k]));
    }
    return table;
}

} // namespace spriteglass
