#include "OffscreenContext.hpp"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstring>
#include <vector>

namespace meshdraw {

namespace {

int atLeastOne(int side) {
    return side < 1 ? 1 : side;
}

EGLDisplay surfacelessDisplay() {
    // The platform display entry point of EGL 1.5, else the extension's.
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        return EGL_NO_DISPLAY;
    }
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// RGB with 8 bits each and a deep depth buffer (32 bits when offered, as the
// window views ask for), for desktop OpenGL on a pbuffer.
EGLConfig chooseConfig(EGLDisplay display) {
    for (EGLint depth : {32, 24}) {
        const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                     EGL_PBUFFER_BIT,
                                     EGL_RENDERABLE_TYPE,
                                     EGL_OPENGL_BIT,
                                     EGL_RED_SIZE,
                                     8,
                                     EGL_GREEN_SIZE,
                                     8,
                                     EGL_BLUE_SIZE,
                                     8,
                                     EGL_DEPTH_SIZE,
                                     depth,
                                     EGL_NONE};
        EGLConfig config = nullptr;
        EGLint found = 0;
        if (eglChooseConfig(display, attributes, &config, 1, &found) && found == 1) {
            return config;
        }
    }
    return nullptr;
}

} // namespace

bool OffscreenContext::create(int width, int height) {
    destroy();
    EGLDisplay display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        return false;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API) || (config_ = chooseConfig(display)) == nullptr) {
        destroy();
        return false;
    }
    context_ = eglCreateContext(display, config_, EGL_NO_CONTEXT, nullptr);
    if (context_ == EGL_NO_CONTEXT || !makeSurface(width, height) || !makeCurrent()) {
        destroy();
        return false;
    }
    return true;
}

bool OffscreenContext::makeSurface(int width, int height) {
    const EGLint attributes[] = {EGL_WIDTH, atLeastOne(width), EGL_HEIGHT, atLeastOne(height),
                                 EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display_, config_, attributes);
    if (surface == EGL_NO_SURFACE) {
        return false;
    }
    surface_ = surface;
    width_ = atLeastOne(width);
    height_ = atLeastOne(height);
    return true;
}

void OffscreenContext::destroy() {
    if (display_ == nullptr) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (surface_ != nullptr) {
        eglDestroySurface(display_, surface_);
    }
    if (context_ != nullptr) {
        eglDestroyContext(display_, context_);
    }
    eglTerminate(display_);
    display_ = nullptr;
    config_ = nullptr;
    context_ = nullptr;
    surface_ = nullptr;
    width_ = 0;
    height_ = 0;
}

bool OffscreenContext::makeCurrent() {
    if (context_ == nullptr || surface_ == nullptr) {
        return false;
    }
    return eglMakeCurrent(display_, surface_, surface_, context_) == EGL_TRUE;
}

bool OffscreenContext::resize(int width, int height) {
    if (!exists()) {
        return false;
    }
    if (atLeastOne(width) == width_ && atLeastOne(height) == height_) {
        return makeCurrent();
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    EGLSurface old = surface_;
    surface_ = nullptr;
    if (!makeSurface(width, height)) {
        surface_ = old; // keep drawing at the old size
        makeCurrent();
        return false;
    }
    eglDestroySurface(display_, old);
    return makeCurrent();
}

void OffscreenContext::finish() {
    if (makeCurrent()) {
        glFinish();
    }
}

bool OffscreenContext::read(std::uint8_t* rgb, std::int64_t size) {
    const std::int64_t row = std::int64_t(width_) * 3;
    if (rgb == nullptr || !exists() || size < row * height_ || !makeCurrent()) {
        return false;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    // GL gives the bottom row first.
    std::vector<std::uint8_t> swap(static_cast<std::size_t>(row));
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = rgb + top * row;
        std::uint8_t* b = rgb + bottom * row;
        std::memcpy(swap.data(), a, swap.size());
        std::memcpy(a, b, swap.size());
        std::memcpy(b, swap.data(), swap.size());
    }
    return true;
}

} // namespace meshdraw
