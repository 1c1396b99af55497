#include "TestWindow.hpp"

#include <X11/Xlib.h>

#include <GL/gl.h>
#include <X11/Xutil.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace meshdraw_test {

std::string toString(const Rgb& colour) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", colour.red, colour.green, colour.blue);
    return text;
}

TestWindow::TestWindow(int width, int height, int x, int y) {
    // Xvfb refuses connections for a moment when many arrive at once.
    for (int attempt = 0; attempt < 8 && display_ == nullptr; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
        }
        display_ = XOpenDisplay(nullptr);
    }
    if (display_ == nullptr) {
        std::fprintf(stderr, "cannot open the X display\n");
        return;
    }
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display_, screen);
    attributes.override_redirect = True; // placed exactly, with or without a window manager
    attributes.event_mask = StructureNotifyMask;
    window_ =
        XCreateWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWBackPixel | CWOverrideRedirect | CWEventMask, &attributes);
    XMapRaised(display_, window_);
    XEvent event;
    do {
        XWindowEvent(display_, window_, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    XSync(display_, False);
}

TestWindow::~TestWindow() {
    if (display_ != nullptr) {
        if (window_ != 0) {
            XDestroyWindow(display_, window_);
        }
        XCloseDisplay(display_);
    }
}

Rgb TestWindow::screenPixel(int x, int y) const {
    XSync(display_, False);
    XImage* image = XGetImage(display_, window_, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return Rgb{0, 0, 0};
    }
    const unsigned long pixel = XGetPixel(image, 0, 0);
    auto channel = [pixel](unsigned long mask) {
        int shift = 0;
        while (mask != 0 && (mask & 1) == 0) {
            mask >>= 1;
            ++shift;
        }
        return static_cast<std::uint8_t>((pixel >> shift) & mask);
    };
    const Rgb colour{channel(image->red_mask), channel(image->green_mask),
                     channel(image->blue_mask)};
    XDestroyImage(image);
    return colour;
}

DisplayLock::DisplayLock() {
    const char* display = std::getenv("DISPLAY");
    const std::string name = std::string("meshdraw-draw-tests-") + (display ? display : "");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    // A leading NUL makes the name abstract: no file is made.
    std::memcpy(address.sun_path + 1, name.data(),
                std::min(name.size(), sizeof address.sun_path - 2));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(50);
    while (std::chrono::steady_clock::now() < deadline) {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (socket_ < 0) {
            return;
        }
        if (::bind(socket_, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
            return;
        }
        ::close(socket_);
        socket_ = -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

DisplayLock::~DisplayLock() {
    if (socket_ >= 0) {
        ::close(socket_);
    }
}

Rgb backPixel(int x, int y) {
    std::uint8_t rgba[4] = {0, 0, 0, 0};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return Rgb{rgba[0], rgba[1], rgba[2]};
}

} // namespace meshdraw_test
