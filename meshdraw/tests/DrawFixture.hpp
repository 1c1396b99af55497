// Fixture of the drawing tests: a palette handed to the library, a test
// window for the views, and Cleanup3D after each test.
#pragma once

#include "TestArrays.hpp"
#include "TestWindow.hpp"
#include "meshdraw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace meshdraw_test {

inline bool haveDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display != nullptr && *display != '\0';
}

class DrawFixture : public ::testing::Test {
protected:
    void SetUp() override {
#ifdef MESHDRAW_SKIP_X_TESTS
        GTEST_SKIP() << "drawing tests need an X server; the sanitizer build runs without one";
#endif
        if (!haveDisplay()) {
            GTEST_SKIP() << "no X display (DISPLAY is not set); run under xvfb-run";
        }
        lock_ = std::make_unique<DisplayLock>();
        palette_ = testPalette();
        ArrayRef ref(arrayOf(palette_));
        ASSERT_EQ(Initialize(ref.get()), 1);
    }
    void TearDown() override {
        Cleanup3D();
        window_.reset();
        lock_.reset();
    }

    TestWindow& openWindow(int width, int height) {
        window_ = std::make_unique<TestWindow>(width, height);
        EXPECT_TRUE(window_->ok());
        return *window_;
    }

    Rgb colourOf(int index) const {
        const GLPaletteEntry& entry = palette_[static_cast<std::size_t>(index)];
        return Rgb{entry.red, entry.green, entry.blue};
    }

    std::vector<GLPaletteEntry> palette_;
    std::unique_ptr<DisplayLock> lock_;
    std::unique_ptr<TestWindow> window_;
};

inline ::testing::AssertionResult pixelIs(const Rgb& actual, const Rgb& expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "pixel " << toString(actual) << ", expected " << toString(expected);
}

constexpr int white = 255;

} // namespace meshdraw_test
