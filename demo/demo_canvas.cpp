#include "demo_canvas.hpp"

#include <algorithm>

namespace demo {

Canvas::Canvas(int width, int height, std::uint8_t fill)
    : width_(width), height_(height), pixels_(std::size_t(width) * std::size_t(height), fill) {}

void Canvas::set(int x, int y, std::uint8_t index) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)] = index;
    }
}

void Canvas::rect(int x0, int y0, int x1, int y1, std::uint8_t index) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            set(x, y, index);
        }
    }
}

void Canvas::frame(int x0, int y0, int x1, int y1, std::uint8_t index) {
    rect(x0, y0, x1, y0, index);
    rect(x0, y1, x1, y1, index);
    rect(x0, y0, x0, y1, index);
    rect(x1, y0, x1, y1, index);
}

void Canvas::ring(int cx, int cy, int inner, int outer, std::uint8_t index) {
    for (int y = cy - outer; y <= cy + outer; ++y) {
        for (int x = cx - outer; x <= cx + outer; ++x) {
            const int d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d <= outer * outer && d >= inner * inner) {
                set(x, y, index);
            }
        }
    }
}

std::vector<std::vector<std::uint8_t>> Canvas::codedRows(std::uint8_t transparent) const {
    std::vector<std::vector<std::uint8_t>> rows;
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* row = pixels_.data() + std::size_t(y) * std::size_t(width_);
        std::vector<std::uint8_t> code;
        int x = 0;
        auto runAt = [&](int at) {
            int n = 1;
            while (at + n < width_ && row[at + n] == row[at]) {
                ++n;
            }
            return n;
        };
        while (x < width_) {
            const int run = runAt(x);
            if (row[x] == transparent) {
                const int n = std::min(run, 127);
                code.push_back(std::uint8_t(n << 1 | 1));
                x += n;
            } else if (run >= 3) {
                const int n = std::min(run, 64);
                code.push_back(std::uint8_t((n - 1) << 2 | 2));
                code.push_back(row[x]);
                x += n;
            } else {
                // Copy up to the next transparent pixel or run of three.
                int n = 0;
                while (x + n < width_ && n < 64 && row[x + n] != transparent &&
                       (n == 0 || runAt(x + n) < 3)) {
                    ++n;
                }
                code.push_back(std::uint8_t((n - 1) << 2));
                code.insert(code.end(), row + x, row + x + n);
                x += n;
            }
        }
        rows.push_back(std::move(code));
    }
    return rows;
}

} // namespace demo
