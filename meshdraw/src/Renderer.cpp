#include "Renderer.hpp"

#include "SceneDrawer.hpp"

#include <GL/glu.h>

namespace meshdraw {

namespace {
constexpr ViewKind allViews[] = {ViewKind::front, ViewKind::perspective, ViewKind::top,
                                 ViewKind::right};
constexpr ViewKind flatViews[] = {ViewKind::front, ViewKind::top, ViewKind::right};
} // namespace

Renderer& Renderer::instance() {
    // Never destroyed: the X and GL libraries may be gone at exit time.
    static Renderer* renderer = new Renderer;
    return *renderer;
}

std::int32_t Renderer::initialize(SafeArray** palette) {
    if (!palette_.assign(palette)) {
        return 0;
    }
    store_.reset();
    textures_.forgetContent();
    return 1;
}

void Renderer::cleanup() {
    for (ViewKind kind : allViews) {
        view(kind).destroy();
    }
    offscreen_.destroy();
    // The textures went with the contexts: stored faces draw in their colours
    // until their objects are added again.
    textures_.forgetNames();
    store_.forgetTextures();
    connection_.close();
}

std::int32_t Renderer::add(SafeArray** faces, SafeArray** vertices, SafeArray** indices, float x,
                           float y, float z) {
    const std::int32_t before = store_.count();
    const std::int32_t result = store_.add(faces, vertices, indices, x, y, z);
    if (store_.count() == before) {
        return result;
    }
    // Textures go into the front view's context; any view serves when there
    // is no front view, since every context shares one set of textures.
    bool current = false;
    if (offscreen_.exists()) {
        current = offscreen_.makeCurrent();
    }
    for (ViewKind kind : allViews) {
        if (!current && view(kind).exists()) {
            current = view(kind).makeCurrent();
            break;
        }
    }
    if (current) {
        if (!textures_.named()) {
            textures_.generateNames();
        }
        textures_.uploadFaces(store_.object(result), palette_);
    }
    return result;
}

GLXContext Renderer::anyContextBut(ViewKind kind) {
    for (ViewKind other : allViews) {
        if (other != kind && view(other).exists()) {
            return view(other).context();
        }
    }
    return nullptr;
}

bool Renderer::anyWindowView() {
    for (ViewKind kind : allViews) {
        if (view(kind).exists()) {
            return true;
        }
    }
    return false;
}

bool Renderer::makeCurrent(ViewKind kind) {
    if (kind == ViewKind::perspective && offscreen_.exists()) {
        return offscreen_.makeCurrent();
    }
    return view(kind).exists() && view(kind).makeCurrent();
}

// The common state of a new context, its viewport, projection and camera.
void Renderer::setUpContext(ViewKind kind, int width, int height) {
    glClearColor(1, 1, 1, 0);
    glEnable(GL_DEPTH_TEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glViewport(0, 0, width, height);
    if (kind == ViewKind::perspective) {
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        camera_.reset();
        perspectiveWidth_ = width;
        perspectiveHeight_ = height;
    }
    loadProjection(kind, width, height);
    setModelView(kind);
}

std::int32_t Renderer::createOffscreen(int width, int height) {
    if (anyWindowView() || !offscreen_.create(width, height)) {
        return 0;
    }
    // A new context holds no texture yet: stored faces get theirs again
    // when their objects are added again.
    textures_.forgetNames();
    store_.forgetTextures();
    textures_.generateNames();
    setUpContext(ViewKind::perspective, offscreen_.width(), offscreen_.height());
    return 1;
}

bool Renderer::readView(std::uint8_t* rgb, std::int64_t size) {
    return offscreen_.read(rgb, size);
}

void Renderer::setViewDistance(double distance) {
    camera_.setDistance(distance);
    if (makeCurrent(ViewKind::perspective)) {
        loadProjection(ViewKind::perspective, perspectiveWidth_, perspectiveHeight_);
    }
}

std::int32_t Renderer::create(ViewKind kind, Window window, int width, int height) {
    if (offscreen_.exists() || !connection_.open()) {
        return 0;
    }
    // Every context joins the ones made before it at creation, so display
    // lists and textures are shared by all views.
    GLXContext share = anyContextBut(kind);
    ViewContext& target = view(kind);
    if (!target.create(connection_, window, width, height, share)) {
        if (anyContextBut(kind) == nullptr) {
            connection_.close(); // no view is left to serve
        }
        return 0;
    }
    setUpContext(kind, width, height);
    if (kind == ViewKind::right) {
        // The texture names are made in the front view's context.
        if (view(ViewKind::front).makeCurrent() && !textures_.named()) {
            textures_.generateNames();
        }
        target.makeCurrent();
        if (!textures_.named()) {
            textures_.generateNames();
        }
    }
    return 1;
}

void Renderer::loadProjection(ViewKind kind, int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (kind == ViewKind::perspective) {
        gluPerspective(45.0, aspectFor(width, height), 1.0, farPlaneFor(camera_.distance()));
    } else {
        const OrthoBox box = orthoFor(width, height);
        glOrtho(box.left, box.right, box.bottom, box.top, box.nearPlane, box.farPlane);
    }
    glMatrixMode(GL_MODELVIEW);
}

// The fixed cameras of the 2-D views are set once here; the drawing pushes
// and pops around each face, so the matrix stays as it is.
void Renderer::setModelView(ViewKind kind) {
    glLoadIdentity();
    switch (kind) {
    case ViewKind::front:
        glTranslatef(0, -20, 0);
        glPushMatrix();
        break;
    case ViewKind::top:
        gluLookAt(0, 50, 0, 0, 0, 0, 0, 0, 1);
        glPushMatrix();
        break;
    case ViewKind::right:
        gluLookAt(100, 20, 0, 0, 20, 0, 0, 1, 0);
        glPushMatrix();
        break;
    case ViewKind::perspective:
        break;
    }
}

void Renderer::resize(ViewKind kind, int width, int height) {
    if (kind == ViewKind::perspective) {
        perspectiveWidth_ = width;
        perspectiveHeight_ = height;
        if (offscreen_.exists()) {
            if (offscreen_.resize(width, height)) {
                glViewport(0, 0, offscreen_.width(), offscreen_.height());
                loadProjection(kind, width, height);
            }
            return;
        }
    }
    ViewContext& target = view(kind);
    if (!target.exists()) {
        return;
    }
    target.resize(width, height);
    if (!target.makeCurrent()) {
        return;
    }
    glViewport(0, 0, width, height);
    loadProjection(kind, width, height);
}

void Renderer::draw(ViewKind kind) {
    if (!makeCurrent(kind)) {
        return;
    }
    std::int16_t mode = flatMode_;
    if (kind == ViewKind::perspective) {
        glLoadIdentity();
        gluLookAt(camera_.x, camera_.y + 20.0, camera_.z, 0, 20, 0, 0, 1, 0);
        mode = perspectiveMode_;
    }
    drawScene(store_, palette_, textures_, mode, highlight_);
    if (kind == ViewKind::perspective && offscreen_.exists()) {
        offscreen_.finish();
        return;
    }
    ViewContext& target = view(kind);
    target.swap();
    // Waiting for the server may have queued exposures of other views; the
    // caller's watch on the connection would not see them any more. The view
    // just drawn stays the current one.
    if (processEvents() > 0) {
        target.makeCurrent();
    }
}

void Renderer::setClearColour(ViewKind kind, std::int16_t index) {
    if (!Palette::holds(index) || !makeCurrent(kind)) {
        return;
    }
    const GLPaletteEntry& entry = palette_[index];
    glClearColor(entry.red / 255.0f, entry.green / 255.0f, entry.blue / 255.0f, 1.0f);
}

void Renderer::setFlatViews(std::int16_t mode, std::int16_t index) {
    flatMode_ = mode;
    for (ViewKind kind : flatViews) {
        setClearColour(kind, index);
    }
}

void Renderer::setPerspectiveView(std::int16_t mode, std::int16_t index) {
    perspectiveMode_ = mode;
    setClearColour(ViewKind::perspective, index);
}

int Renderer::processEvents() {
    Display* display = connection_.display();
    if (display == nullptr || handlingEvents_) {
        return 0;
    }
    handlingEvents_ = true;
    bool exposed[4] = {false, false, false, false};
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != Expose) {
            continue;
        }
        for (ViewKind kind : allViews) {
            if (view(kind).exists() && view(kind).window() == event.xexpose.window) {
                exposed[static_cast<int>(kind)] = true;
            }
        }
    }
    int drawn = 0;
    for (ViewKind kind : allViews) {
        if (exposed[static_cast<int>(kind)]) {
            draw(kind);
            ++drawn;
        }
    }
    handlingEvents_ = false;
    return drawn;
}

} // namespace meshdraw
