#include "Palette.hpp"

#include "ArrayReader.hpp"

#include <cstddef>
#include <vector>

namespace meshdraw {

bool Palette::assign(SafeArray** array) {
    std::vector<GLPaletteEntry> read;
    const ArrayRead result = readArray(array, read, size);
    for (std::size_t k = 0; k < read.size(); ++k) {
        entries_[k] = read[k];
    }
    return result == ArrayRead::Done;
}

} // namespace meshdraw
