// One view's drawing surface: a child window inside the caller's window with
// a double-buffered RGBA visual and its own GLX rendering context.
#pragma once

#include "DisplayConnection.hpp"

#include <GL/glx.h>

namespace meshdraw {

class ViewContext {
public:
    ViewContext() = default;
    ViewContext(const ViewContext&) = delete;
    ViewContext& operator=(const ViewContext&) = delete;

    // Creates the child window of parent at (0, 0) with the given size and a
    // context that shares display lists and textures with share (may be
    // null), and makes it current. False (and nothing kept) when parent is
    // not a window or no suitable visual exists.
    bool create(DisplayConnection& connection, Window parent, int width, int height,
                GLXContext share);
    // Releases the current context and deletes this one, then the window.
    void destroy();

    bool exists() const { return context_ != nullptr; }
    // Makes the context current on its window. When the window has gone (X
    // destroyed it with the caller's window), the view is dropped first:
    // GL must never draw into or swap a drawable that no longer exists.
    bool makeCurrent();
    void resize(int width, int height);
    // Shows the back buffer and waits for the server, so errors of a window
    // that has gone are caught here.
    void swap();

    GLXContext context() const { return context_; }
    Window window() const { return window_; }

private:
    bool windowAlive();
    // Releases the context of a view whose window has gone.
    void abandon();

    DisplayConnection* connection_ = nullptr;
    Window window_ = 0;
    Colormap colormap_ = 0;
    GLXContext context_ = nullptr;
};

} // namespace meshdraw
