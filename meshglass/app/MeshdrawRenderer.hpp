// ViewRenderer over libmeshdraw.so. Views are made only when Qt runs on
// xcb (elsewhere a window id is not an X window). Once the view exists, the
// library's X connection is watched so an uncovered view is drawn again.
#pragma once

#include "ViewRenderer.hpp"

#include <memory>

class QSocketNotifier;

namespace meshglass {

class MeshdrawRenderer : public ViewRenderer {
public:
    MeshdrawRenderer();
    ~MeshdrawRenderer() override;

    std::int32_t Initialize(const std::array<std::uint8_t, 1024>& palette) override;
    void Cleanup3D() override;
    std::int32_t CreateView(unsigned long window, std::int32_t width, std::int32_t height) override;
    void ResizeView(std::int32_t width, std::int32_t height) override;
    void RotateView(float a, float b, float ignored) override;
    void Set3DView(std::int16_t mode, std::int16_t index) override;
    void SetViewDistance(float distance) override;
    void HighlightObject(std::int32_t index) override;
    void RemoveAllObjects() override;
    std::int32_t Add3DObject(const RenderObject& object) override;
    void DrawView() override;

private:
    std::unique_ptr<QSocketNotifier> watch_;
    bool cleanedUp_ = true; // nothing to release before Initialize
};

} // namespace meshglass
