#include "testsupport/pcx_writer.hpp"

namespace testsupport {

namespace {

void put16(std::vector<std::uint8_t>& out, std::size_t at, int v) {
    out[at] = std::uint8_t(v);
    out[at + 1] = std::uint8_t(v >> 8);
}

// Codes one plane line: runs of up to 63 equal bytes, and every byte of
// 0xC0 and up as a run so it is not read as a count.
void codeLine(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& line) {
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t run = 1;
        while (i + run < line.size() && run < 63 && line[i + run] == line[i]) {
            ++run;
        }
        if (run > 1 || line[i] >= 0xC0) {
            out.push_back(std::uint8_t(0xC0 | run));
        }
        out.push_back(line[i]);
        i += run;
    }
}

} // namespace

std::vector<std::uint8_t> makePcx(const PcxFixture& fixture) {
    const int bytesPerLine =
        fixture.bytesPerLine ? fixture.bytesPerLine : (fixture.width + 1) / 2 * 2;
    std::vector<std::uint8_t> out(128, 0);
    out[0] = 0x0A;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    put16(out, 8, fixture.width - 1);
    put16(out, 10, fixture.height - 1);
    put16(out, 12, 72);
    put16(out, 14, 72);
    out[65] = std::uint8_t(fixture.planes);
    put16(out, 66, bytesPerLine);
    put16(out, 68, 1);
    for (int y = 0; y < fixture.height; ++y) {
        for (int plane = 0; plane < fixture.planes; ++plane) {
            std::vector<std::uint8_t> line(std::size_t(bytesPerLine), 0);
            for (int x = 0; x < fixture.width && x < bytesPerLine; ++x) {
                const std::size_t at =
                    (std::size_t(y) * std::size_t(fixture.width) + std::size_t(x)) *
                        std::size_t(fixture.planes) +
                    std::size_t(plane);
                if (at < fixture.pixels.size()) {
                    line[std::size_t(x)] = fixture.pixels[at];
                }
            }
            codeLine(out, line);
        }
    }
    if (fixture.planes == 1 && fixture.withPalette) {
        out.push_back(12);
        out.insert(out.end(), fixture.palette.begin(), fixture.palette.end());
    }
    return out;
}

std::array<std::uint8_t, 768> rampPalette() {
    std::array<std::uint8_t, 768> palette{};
    for (int i = 0; i < 256; ++i) {
        palette[std::size_t(3 * i)] = std::uint8_t(i);
        palette[std::size_t(3 * i + 1)] = std::uint8_t(255 - i);
        palette[std::size_t(3 * i + 2)] = std::uint8_t(i / 2);
    }
    return palette;
}

} // namespace testsupport
