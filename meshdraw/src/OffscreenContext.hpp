// A drawing surface without any window: an EGL context on Mesa's surfaceless
// platform with a pbuffer of the view's size, so programs with no X display
// (the command-line tools, thumbnailers, tests) draw with the same code as
// the window views and read the picture back.
#pragma once

#include <cstdint>

namespace meshdraw {

class OffscreenContext {
public:
    OffscreenContext() = default;
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Makes the context and a width x height surface and makes them current.
    // False (nothing kept) when EGL, the surfaceless platform or a suitable
    // configuration is missing.
    bool create(int width, int height);
    void destroy();

    bool exists() const { return context_ != nullptr; }
    bool makeCurrent();
    // A new surface of the new size; the context (and its textures) stay.
    bool resize(int width, int height);
    // Waits until the drawing is done (there is nothing to show).
    void finish();
    // The surface's pixels as RGB bytes, top row first; false when there is
    // no surface or rgb holds fewer than width x height x 3 bytes.
    bool read(std::uint8_t* rgb, std::int64_t size);

    int width() const { return width_; }
    int height() const { return height_; }

private:
    bool makeSurface(int width, int height);

    void* display_ = nullptr; // EGLDisplay
    void* config_ = nullptr;  // EGLConfig
    void* context_ = nullptr; // EGLContext
    void* surface_ = nullptr; // EGLSurface
    int width_ = 0;
    int height_ = 0;
};

} // namespace meshdraw
