// The library's whole state (store, palette, views, modes, camera) and the
// work behind each exported call.
#pragma once

#include "DisplayConnection.hpp"
#include "ObjectStore.hpp"
#include "OffscreenContext.hpp"
#include "Palette.hpp"
#include "TextureBank.hpp"
#include "ViewContext.hpp"
#include "ViewGeometry.hpp"

#include <array>
#include <cstdint>

namespace meshdraw {

// In the order Cleanup3D releases them.
enum class ViewKind : int { front = 0, perspective = 1, top = 2, right = 3 };

class Renderer {
public:
    static Renderer& instance();

    std::int32_t initialize(SafeArray** palette);
    void cleanup();

    std::int32_t add(SafeArray** faces, SafeArray** vertices, SafeArray** indices, float x, float y,
                     float z);
    ObjectStore& store() { return store_; }

    std::int32_t create(ViewKind kind, Window window, int width, int height);
    // The perspective view on an offscreen surface; not together with
    // window views (their contexts cannot share textures with it).
    std::int32_t createOffscreen(int width, int height);
    bool readView(std::uint8_t* rgb, std::int64_t size);
    void resize(ViewKind kind, int width, int height);
    void draw(ViewKind kind);
    void rotate(double a, double b) { camera_.rotate(a, b); }
    void setViewDistance(double distance);
    double viewDistance() const { return camera_.distance(); }
    void setHighlight(std::int32_t object) { highlight_ = object; }
    void setFlatViews(std::int16_t mode, std::int16_t index);
    void setPerspectiveView(std::int16_t mode, std::int16_t index);

    int eventFd() const { return connection_.fileDescriptor(); }
    int processEvents();

private:
    Renderer() = default;

    ViewContext& view(ViewKind kind) { return views_[static_cast<std::size_t>(kind)]; }
    GLXContext anyContextBut(ViewKind kind);
    bool anyWindowView();
    // Makes the context of a view current: the offscreen one for the
    // perspective view when it exists.
    bool makeCurrent(ViewKind kind);
    void setUpContext(ViewKind kind, int width, int height);
    void loadProjection(ViewKind kind, int width, int height);
    void setModelView(ViewKind kind);
    void setClearColour(ViewKind kind, std::int16_t index);

    ObjectStore store_;
    Palette palette_;
    TextureBank textures_;
    Camera camera_;
    std::int16_t flatMode_ = 2;
    std::int16_t perspectiveMode_ = 0;
    DisplayConnection connection_;
    std::array<ViewContext, 4> views_;
    OffscreenContext offscreen_;
    int perspectiveWidth_ = 1;
    int perspectiveHeight_ = 1;
    std::int32_t highlight_ = -1;
    bool handlingEvents_ = false;
};

} // namespace meshdraw
