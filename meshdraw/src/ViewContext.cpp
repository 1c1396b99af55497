#include "ViewContext.hpp"

#include <initializer_list>

namespace meshdraw {

namespace {

int atLeastOne(int side) {
    return side < 1 ? 1 : side;
}

// RGBA, double buffer, 8 bits per colour, a 32-bit depth buffer when the
// server offers one, else 24 bits; no stencil (depth 32 comes without one).
XVisualInfo* chooseVisual(Display* display, int screen) {
    for (int depth : {32, 24}) {
        int attributes[] = {
            GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8,   GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE,
            8,        GLX_DEPTH_SIZE,   depth,        None};
        if (XVisualInfo* info = glXChooseVisual(display, screen, attributes)) {
            return info;
        }
    }
    return nullptr;
}

} // namespace

bool ViewContext::create(DisplayConnection& connection, Window parent, int width, int height,
                         GLXContext share) {
    destroy();
    Display* display = connection.display();
    connection.syncFailed(); // start with a clean error count
    XWindowAttributes parentAttributes;
    if (parent == 0 || !XGetWindowAttributes(display, parent, &parentAttributes) ||
        connection.syncFailed()) {
        return false;
    }
    const int screen = XScreenNumberOfScreen(parentAttributes.screen);
    XVisualInfo* visual = chooseVisual(display, screen);
    if (visual == nullptr) {
        return false;
    }
    connection_ = &connection;
    const Window root = RootWindow(display, screen);
    colormap_ = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap_;
    attributes.border_pixel = 0;
    // Only exposures: mouse and keys go on to the caller's window.
    attributes.event_mask = ExposureMask;
    window_ =
        XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(atLeastOne(width)),
                      static_cast<unsigned>(atLeastOne(height)), 0, visual->depth, InputOutput,
                      visual->visual, CWColormap | CWBorderPixel | CWEventMask, &attributes);
    XMapWindow(display, window_);
    if (connection.syncFailed()) {
        XFree(visual);
        destroy();
        return false;
    }
    context_ = glXCreateContext(display, visual, share, True);
    XFree(visual);
    if (context_ == nullptr || connection.syncFailed() || !makeCurrent()) {
        destroy();
        return false;
    }
    return true;
}

void ViewContext::destroy() {
    if (connection_ == nullptr || !connection_->isOpen()) {
        context_ = nullptr;
        window_ = 0;
        colormap_ = 0;
        connection_ = nullptr;
        return;
    }
    Display* display = connection_->display();
    if (context_ != nullptr) {
        glXMakeCurrent(display, None, nullptr);
        glXDestroyContext(display, context_);
        context_ = nullptr;
    }
    if (window_ != 0) {
        XDestroyWindow(display, window_);
        window_ = 0;
    }
    if (colormap_ != 0) {
        XFreeColormap(display, colormap_);
        colormap_ = 0;
    }
    connection_->syncFailed();
    connection_ = nullptr;
}

bool ViewContext::windowAlive() {
    XWindowAttributes attributes;
    connection_->syncFailed(); // start with a clean error count
    return XGetWindowAttributes(connection_->display(), window_, &attributes) != 0 &&
           !connection_->syncFailed();
}

void ViewContext::abandon() {
    Display* display = connection_->display();
    if (glXGetCurrentContext() == context_) {
        glXMakeCurrent(display, None, nullptr);
    }
    glXDestroyContext(display, context_);
    context_ = nullptr;
    window_ = 0; // gone with its parent: nothing to destroy
    if (colormap_ != 0) {
        XFreeColormap(display, colormap_);
        colormap_ = 0;
    }
    connection_->syncFailed();
    connection_ = nullptr;
}

bool ViewContext::makeCurrent() {
    if (connection_ == nullptr || window_ == 0 || context_ == nullptr) {
        return false;
    }
    if (!windowAlive()) {
        abandon();
        return false;
    }
    return glXMakeCurrent(connection_->display(), window_, context_) == True;
}

void ViewContext::resize(int width, int height) {
    if (!exists()) {
        return;
    }
    XResizeWindow(connection_->display(), window_, static_cast<unsigned>(atLeastOne(width)),
                  static_cast<unsigned>(atLeastOne(height)));
    connection_->syncFailed();
}

void ViewContext::swap() {
    if (!exists() || !windowAlive()) {
        return;
    }
    glXSwapBuffers(connection_->display(), window_);
    connection_->syncFailed();
}

} // namespace meshdraw
