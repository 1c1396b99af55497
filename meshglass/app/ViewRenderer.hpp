// The renderer calls the viewer makes: the model engine's three and the
// set-up, view and camera calls. MeshdrawRenderer passes them to Meshdraw;
// tests record them.
#pragma once

#include "meshglass/ModelRenderer.hpp"

#include <array>
#include <cstdint>

namespace meshglass {

class ViewRenderer : public ModelRenderer {
public:
    // 256 palette entries of blue, green, red, 0. Returns 0 on failure.
    virtual std::int32_t Initialize(const std::array<std::uint8_t, 1024>& palette) = 0;
    virtual void Cleanup3D() = 0;
    // window is the native window id of the drawing area.
    virtual std::int32_t CreateView(unsigned long window, std::int32_t width,
                                    std::int32_t height) = 0;
    virtual void ResizeView(std::int32_t width, std::int32_t height) = 0;
    virtual void RotateView(float a, float b, float ignored) = 0;
    virtual void Set3DView(std::int16_t mode, std::int16_t index) = 0;
    // The camera's distance from the origin (the turn stays).
    virtual void SetViewDistance(float distance) = 0;
    // Draws one stored object (-1: none) in the highlight colour.
    virtual void HighlightObject(std::int32_t index) = 0;
};

} // namespace meshglass
