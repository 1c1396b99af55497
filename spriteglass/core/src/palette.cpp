#include "spriteglass/palette.hpp"

#include <fstream>

namespace spriteglass {

Palette PaletteFromTriples(std::span<const std::uint8_t> bytes) {
    Palette palette{};
    const std::size_t entries = std::min<std::size_t>(bytes.size() / 3, 256);
    for (std::size_t k = 0; k < entries; ++k) {
        palette[4 * k + 0] = bytes[3 * k + 2]; // blue
        palette[4 * k + 1] = bytes[3 * k + 1]; // green
        palette[4 * k + 2] = bytes[3 * k + 0]; // red
        palette[4 * k + 3] = 0;
    }
    return palette;
}

Palette LoadPalette(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return Palette{};
    }
    std::uint8_t bytes[768];
    in.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    return PaletteFromTriples(std::span(bytes, std::size_t(in.gcount())));
}

} // namespace spriteglass
