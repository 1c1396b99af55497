#include "MeshdrawRenderer.hpp"

#include "MeshdrawObjects.hpp"

#include "meshdraw.h"

#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstddef>
#include <vector>

namespace meshglass {

MeshdrawRenderer::MeshdrawRenderer() = default;

MeshdrawRenderer::~MeshdrawRenderer() {
    Cleanup3D();
}

std::int32_t MeshdrawRenderer::Initialize(const std::array<std::uint8_t, 1024>& palette) {
    std::vector<GLPaletteEntry> entries(256);
    for (std::size_t k = 0; k < 256; ++k) {
        entries[k] = GLPaletteEntry{palette[4 * k], palette[4 * k + 1], palette[4 * k + 2], 0};
    }
    SafeArray array = SafeArrayOver(entries.data(), 256, sizeof(GLPaletteEntry));
    SafeArray* pointer = &array;
    cleanedUp_ = false;
    return ::Initialize(&pointer);
}

void MeshdrawRenderer::Cleanup3D() {
    if (cleanedUp_) {
        return;
    }
    cleanedUp_ = true;
    watch_.reset(); // before the connection it watches is closed
    ::Cleanup3D();
}

std::int32_t MeshdrawRenderer::CreateView(unsigned long window, std::int32_t width,
                                          std::int32_t height) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return 0;
    }
    const std::int32_t made = ::CreateView(window, width, height);
    const int fd = MeshdrawEventFd();
    if (made == 1 && fd >= 0 && watch_ == nullptr) {
        watch_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(watch_.get(), &QSocketNotifier::activated,
                         [] { MeshdrawProcessEvents(); });
    }
    return made;
}

void MeshdrawRenderer::ResizeView(std::int32_t width, std::int32_t height) {
    ::ResizeView(width, height);
}

void MeshdrawRenderer::RotateView(float a, float b, float ignored) {
    ::RotateView(a, b, ignored);
}

void MeshdrawRenderer::Set3DView(std::int16_t mode, std::int16_t index) {
    ::Set3DView(mode, index);
}

void MeshdrawRenderer::RemoveAllObjects() {
    ::RemoveAllObjects();
}

std::int32_t MeshdrawRenderer::Add3DObject(const RenderObject& object) {
    return AddObjectToMeshdraw(object);
}

void MeshdrawRenderer::SetViewDistance(float distance) {
    MeshdrawSetViewDistance(distance);
}

void MeshdrawRenderer::HighlightObject(std::int32_t index) {
    MeshdrawHighlightObject(index);
}

void MeshdrawRenderer::DrawView() {
    ::DrawView();
}

} // namespace meshglass
