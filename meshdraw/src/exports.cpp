// The exported C functions: each forwards to the library's one Renderer.
#include "meshdraw.h"

#include "Renderer.hpp"

#include <cstddef>

// The records keep the offsets callers build them with; only the texture
// field grows to the size of a pointer.
static_assert(sizeof(GLPaletteEntry) == 4);
static_assert(sizeof(GLVertex) == 12);
static_assert(sizeof(GLIndex) == 2);
static_assert(offsetof(GLFace, vertexCount) == 2 && offsetof(GLFace, textureWidth) == 4 &&
              offsetof(GLFace, textureHeight) == 6 && offsetof(GLFace, firstIndex) == 8);
static_assert(sizeof(GLFace{}.texture) == sizeof(void*));

using meshdraw::Renderer;
using meshdraw::ViewKind;

extern "C" {

int32_t Initialize(SafeArray** palette) {
    return Renderer::instance().initialize(palette);
}

void Cleanup3D(void) {
    Renderer::instance().cleanup();
}

int32_t Add3DObject(SafeArray** faces, SafeArray** vertices, SafeArray** indices, float x, float y,
                    float z) {
    return Renderer::instance().add(faces, vertices, indices, x, y, z);
}

void Remove3DObject(int32_t index) {
    Renderer::instance().store().remove(index);
}

void RemoveAllObjects(void) {
    // Like Initialize, this makes the store when there was none.
    Renderer::instance().store().reset();
}

void Update3DObject(int32_t index, int32_t mark, int32_t /*ignored*/, float x, float y, float z) {
    Renderer::instance().store().update(index, static_cast<uint8_t>(mark & 0xff), x, y, z);
}

void Update3DFace(int32_t index, int32_t face, int32_t mark, uintptr_t texture) {
    Renderer::instance().store().updateFace(index, face, static_cast<uint8_t>(mark & 0xff),
                                            texture);
}

intptr_t GetAddress(intptr_t value) {
    return value;
}

int32_t CreateFront(unsigned long window, int32_t width, int32_t height) {
    return Renderer::instance().create(ViewKind::front, window, width, height);
}
int32_t CreateTop(unsigned long window, int32_t width, int32_t height) {
    return Renderer::instance().create(ViewKind::top, window, width, height);
}
int32_t CreateRight(unsigned long window, int32_t width, int32_t height) {
    return Renderer::instance().create(ViewKind::right, window, width, height);
}
int32_t CreateView(unsigned long window, int32_t width, int32_t height) {
    return Renderer::instance().create(ViewKind::perspective, window, width, height);
}

void ResizeFront(int32_t width, int32_t height) {
    Renderer::instance().resize(ViewKind::front, width, height);
}
void ResizeTop(int32_t width, int32_t height) {
    Renderer::instance().resize(ViewKind::top, width, height);
}
void ResizeRight(int32_t width, int32_t height) {
    Renderer::instance().resize(ViewKind::right, width, height);
}
void ResizeView(int32_t width, int32_t height) {
    Renderer::instance().resize(ViewKind::perspective, width, height);
}

void DrawFront(void) {
    Renderer::instance().draw(ViewKind::front);
}
void DrawTop(void) {
    Renderer::instance().draw(ViewKind::top);
}
void DrawRight(void) {
    Renderer::instance().draw(ViewKind::right);
}
void DrawView(void) {
    Renderer::instance().draw(ViewKind::perspective);
}

void RotateView(float a, float b, float /*ignored*/) {
    Renderer::instance().rotate(a, b);
}

void SetView(int16_t mode, int16_t index) {
    Renderer::instance().setFlatViews(mode, index);
}

void Set3DView(int16_t mode, int16_t index) {
    Renderer::instance().setPerspectiveView(mode, index);
}

int32_t MeshdrawEventFd(void) {
    return Renderer::instance().eventFd();
}

int32_t MeshdrawProcessEvents(void) {
    return Renderer::instance().processEvents();
}

void MeshdrawSetViewDistance(float distance) {
    Renderer::instance().setViewDistance(distance);
}

float MeshdrawViewDistance(void) {
    return static_cast<float>(Renderer::instance().viewDistance());
}

void MeshdrawHighlightObject(int32_t index) {
    Renderer::instance().setHighlight(index);
}

int32_t MeshdrawCreateOffscreenView(int32_t width, int32_t height) {
    return Renderer::instance().createOffscreen(width, height);
}

int32_t MeshdrawReadView(uint8_t* rgb, int64_t size) {
    return Renderer::instance().readView(rgb, size) ? 1 : 0;
}

} // extern "C"
