// The library's own X connection. Errors on it are counted by the library's
// error handler instead of ending the process; errors of other connections in
// the process go on to the handler that was installed before.
#pragma once

#include <X11/Xlib.h>

namespace meshdraw {

class DisplayConnection {
public:
    DisplayConnection() = default;
    ~DisplayConnection() = default;
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    // Opens the connection named by DISPLAY when it is not open yet; false
    // when there is no display.
    bool open();
    void close();
    bool isOpen() const { return display_ != nullptr; }
    Display* display() const { return display_; }
    int fileDescriptor() const;

    // Waits until the server has handled every request so far and tells
    // whether any of them failed since the last call.
    bool syncFailed();

private:
    Display* display_ = nullptr;
};

} // namespace meshdraw
