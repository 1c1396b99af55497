// Fixture of the offscreen drawing tests: a palette handed to the library, a
// perspective view on an offscreen surface (no X display), the picture read
// back through MeshdrawReadView, and Cleanup3D after each test.
#pragma once

#include "TestArrays.hpp"
#include "meshdraw.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace meshdraw_test {

constexpr int white = 255;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb; // top row first

    std::array<std::uint8_t, 3> at(int x, int y) const {
        const std::size_t k = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
        return {rgb[k], rgb[k + 1], rgb[k + 2]};
    }
    // Pixels that are not the colour of (0, 0).
    int coveredPixels() const;
};

class OffscreenFixture : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef MESHDRAW_SKIP_X_TESTS
        GTEST_SKIP() << "drawing tests do not run in the sanitizer build";
#endif
        palette_ = testPalette();
        ArrayRef ref(arrayOf(palette_));
        ASSERT_EQ(Initialize(ref.get()), 1);
    }
    void TearDown() override {
        Cleanup3D();
    }

    // Makes the offscreen view (skipping the test when EGL cannot).
    bool open(int width, int height) {
        if (MeshdrawCreateOffscreenView(width, height) != 1) {
            return false;
        }
        width_ = width;
        height_ = height;
        return true;
    }
    Picture draw() {
        DrawView();
        Picture picture{width_, height_,
                        std::vector<std::uint8_t>(std::size_t(width_) * height_ * 3)};
        EXPECT_EQ(MeshdrawReadView(picture.rgb.data(), std::int64_t(picture.rgb.size())), 1);
        return picture;
    }
    std::array<std::uint8_t, 3> colourOf(int index) const {
        const GLPaletteEntry& entry = palette_[std::size_t(index)];
        return {entry.red, entry.green, entry.blue};
    }

    std::vector<GLPaletteEntry> palette_;
    int width_ = 0;
    int height_ = 0;
};

#define OPEN_OFFSCREEN(w, h)                                                                       \
    if (!open(w, h)) {                                                                             \
        GTEST_SKIP() << "no EGL surfaceless platform here";                                        \
    }

} // namespace meshdraw_test
