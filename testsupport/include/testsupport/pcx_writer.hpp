// Writes small PCX pictures for tests: version 5, run-length coded, 8 bits
// in one plane with the trailing 256-colour palette or 24 bits in three
// planes, each plane line padded to `bytesPerLine` with zeros.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace testsupport {

struct PcxFixture {
    int width = 0;
    int height = 0;
    // 8 bits: one index per pixel; 24 bits: red, green, blue per pixel.
    std::vector<std::uint8_t> pixels;
    int planes = 1;                          // 1 (8 bits) or 3 (24 bits)
    int bytesPerLine = 0;                    // 0: the width rounded up to even
    std::array<std::uint8_t, 768> palette{}; // 8 bits only
    bool withPalette = true;                 // 8 bits: append the palette block
};

std::vector<std::uint8_t> makePcx(const PcxFixture& fixture);

// A palette whose entry i is (i, 255 - i, i / 2).
std::array<std::uint8_t, 768> rampPalette();

} // namespace testsupport
