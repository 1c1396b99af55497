// An 8-bit picture of palette indices to draw the demo's sprites and unit
// picture on, and the run-length coding of its rows in GAF frames.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

class Canvas {
public:
    Canvas(int width, int height, std::uint8_t fill);

    int width() const { return width_; }
    int height() const { return height_; }
    const std::vector<std::uint8_t>& pixels() const { return pixels_; }

    void set(int x, int y, std::uint8_t index);
    // Inclusive corners; parts outside the picture are left out.
    void rect(int x0, int y0, int x1, int y1, std::uint8_t index);
    void frame(int x0, int y0, int x1, int y1, std::uint8_t index);
    // A ring between the two radii around (cx, cy); inner 0 fills a disc.
    void ring(int cx, int cy, int inner, int outer, std::uint8_t index);

    // Each row as GAF run codes: runs of `transparent` are skipped, runs of
    // three or more equal indices repeated, the rest copied.
    std::vector<std::vector<std::uint8_t>> codedRows(std::uint8_t transparent) const;

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};

} // namespace demo
