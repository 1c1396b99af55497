// A top-level X window of the test's own connection that the library's
// views are created in, and reading back what was drawn.
#pragma once

#include <cstdint>
#include <string>

// Xlib stays out of this header: its macros (None, Bool) clash with GoogleTest.
struct _XDisplay;

namespace meshdraw_test {

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const Rgb&) const = default;
};
std::string toString(const Rgb& colour);

class TestWindow {
public:
    // Opens a connection and maps a width x height window at (x, y), away
    // from the corner where other programs' windows appear.
    TestWindow(int width, int height, int x = 700, int y = 500);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    bool ok() const { return display_ != nullptr && window_ != 0; }
    unsigned long id() const { return window_; }
    _XDisplay* display() const { return display_; }

    // A pixel of what is on screen (row 0 at the top), read from the server.
    Rgb screenPixel(int x, int y) const;

private:
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
};

// Drawing tests of several processes on one X server take turns: while one
// holds the lock, no other test window covers or resizes around its views.
// The lock is an abstract local socket name, released when the process ends.
class DisplayLock {
public:
    DisplayLock();
    ~DisplayLock();
    DisplayLock(const DisplayLock&) = delete;
    DisplayLock& operator=(const DisplayLock&) = delete;

private:
    int socket_ = -1;
};

// A pixel of the back buffer of the current context (row 0 at the bottom),
// read with glReadPixels after a draw call.
Rgb backPixel(int x, int y);

} // namespace meshdraw_test
