// The library's table of 256 palette entries.
#pragma once

#include "meshdraw.h"

#include <array>

namespace meshdraw {

class Palette {
public:
    static constexpr int size = 256;

    Palette() : entries_{} {}

    // Copies the caller's palette array, element k into entry k (at most 256
    // elements). Returns false when a bound or an element cannot be read;
    // the table then stays as it was.
    bool assign(SafeArray** array);

    const GLPaletteEntry& operator[](int index) const { return entries_[index & 0xff]; }
    static bool holds(int index) { return index >= 0 && index < size; }

private:
    std::array<GLPaletteEntry, size> entries_;
};

} // namespace meshdraw
