#include "DisplayConnection.hpp"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace meshdraw {

namespace {

using ErrorHandler = int (*)(Display*, XErrorEvent*);

// Xlib keeps one error handler per process, so ours must pass on errors of
// connections that are not the library's (a toolkit's own Xlib connection).
Display* ownDisplay = nullptr;
ErrorHandler previousHandler = nullptr;
bool handlerInstalled = false;
unsigned long errorCount = 0;

int onXError(Display* display, XErrorEvent* event) {
    if (display != nullptr && display == ownDisplay) {
        ++errorCount;
        return 0;
    }
    if (previousHandler != nullptr) {
        return previousHandler(display, event);
    }
    return 0;
}

} // namespace

bool DisplayConnection::open() {
    if (display_ != nullptr) {
        return true;
    }
    // A busy server may refuse a connection for a moment (its listen queue is
    // full), so a few tries are made before giving up; with no display named
    // there is nothing to wait for.
    const char* name = std::getenv("DISPLAY");
    const int tries = (name != nullptr && *name != '\0') ? 5 : 1;
    for (int attempt = 0; attempt < tries && display_ == nullptr; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20 << attempt));
        }
        display_ = XOpenDisplay(nullptr);
    }
    if (display_ == nullptr) {
        return false;
    }
    ownDisplay = display_;
    if (!handlerInstalled) {
        previousHandler = XSetErrorHandler(onXError);
        handlerInstalled = true;
    }
    errorCount = 0;
    return true;
}

void DisplayConnection::close() {
    if (display_ == nullptr) {
        return;
    }
    XSync(display_, False);
    XCloseDisplay(display_);
    ownDisplay = nullptr;
    display_ = nullptr;
}

int DisplayConnection::fileDescriptor() const {
    return display_ != nullptr ? ConnectionNumber(display_) : -1;
}

bool DisplayConnection::syncFailed() {
    if (display_ == nullptr) {
        return true;
    }
    XSync(display_, False);
    const bool failed = errorCount != 0;
    errorCount = 0;
    return failed;
}

} // namespace meshdraw
