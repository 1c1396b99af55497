// A ViewRenderer for window tests: records every call in order.
#pragma once

#include "ViewRenderer.hpp"
#include "meshglass/ModelText.hpp"

#include <string>
#include <vector>

namespace meshglass_test {

struct RendererCall {
    std::string name;
    std::vector<double> args;
};

class RecordingRenderer : public meshglass::ViewRenderer {
public:
    std::int32_t Initialize(const std::array<std::uint8_t, 1024>& palette) override {
        this->palette = palette;
        record("Initialize", {});
        return initializeResult;
    }
    void Cleanup3D() override { record("Cleanup3D", {}); }
    std::int32_t CreateView(unsigned long, std::int32_t width, std::int32_t height) override {
        record("CreateView", {double(width), double(height)});
        return 1;
    }
    void ResizeView(std::int32_t width, std::int32_t height) override {
        record("ResizeView", {double(width), double(height)});
    }
    void RotateView(float a, float b, float ignored) override {
        record("RotateView", {a, b, ignored});
    }
    void Set3DView(std::int16_t mode, std::int16_t index) override {
        record("Set3DView", {double(mode), double(index)});
    }
    void SetViewDistance(float distance) override { record("SetViewDistance", {distance}); }
    void HighlightObject(std::int32_t index) override {
        record("HighlightObject", {double(index)});
    }
    void RemoveAllObjects() override {
        record("RemoveAllObjects", {});
        store.RemoveAllObjects();
    }
    std::int32_t Add3DObject(const meshglass::RenderObject& object) override {
        record("Add3DObject", {object.x, object.y, object.z});
        return store.Add3DObject(object);
    }
    void DrawView() override { record("DrawView", {}); }

    std::vector<RendererCall> named(const std::string& name) const {
        std::vector<RendererCall> found;
        for (const RendererCall& call : calls) {
            if (call.name == name) {
                found.push_back(call);
            }
        }
        return found;
    }

    std::vector<RendererCall> calls;
    std::int32_t initializeResult = 1;
    std::array<std::uint8_t, 1024> palette{};
    meshglass::CollectingRenderer store;

private:
    void record(const char* name, std::vector<double> args) {
        calls.push_back({name, std::move(args)});
    }
};

} // namespace meshglass_test
