#include "OffscreenPicture.hpp"

#include "MeshdrawObjects.hpp"
#include "meshglass/ViewFit.hpp"

#include "meshdraw.h"

namespace meshglass {

namespace {

// Adds the objects to Meshdraw and keeps their bounds; the per-piece redraw
// of the viewer is left out (nothing is on screen to follow the build).
class OffscreenModelRenderer : public ModelRenderer {
public:
    void RemoveAllObjects() override {
        ::RemoveAllObjects();
        bounds.Clear();
    }
    std::int32_t Add3DObject(const RenderObject& object) override {
        bounds.Add(object);
        return AddObjectToMeshdraw(object);
    }
    void DrawView() override {}

    ViewBounds bounds;
};

} // namespace

std::optional<Picture> DrawModelOffscreen(class3do& model, const spriteglass::Palette& palette,
                                          FaceTextures* textures, const PictureOptions& options,
                                          std::string& error) {
    if (options.width < 1 || options.height < 1 || options.width > MaxPictureSide ||
        options.height > MaxPictureSide) {
        error =
            "the picture size must be 1 to " + std::to_string(MaxPictureSide) + " pixels a side";
        return std::nullopt;
    }
    std::vector<GLPaletteEntry> entries(256);
    for (std::size_t k = 0; k < 256; ++k) {
        entries[k] = GLPaletteEntry{palette[4 * k], palette[4 * k + 1], palette[4 * k + 2], 0};
    }
    SafeArray array = SafeArrayOver(entries.data(), 256, sizeof(GLPaletteEntry));
    SafeArray* pointer = &array;
    if (::Initialize(&pointer) != 1) {
        error = "the renderer refused the palette";
        return std::nullopt;
    }
    struct Cleanup {
        ~Cleanup() { ::Cleanup3D(); }
    } cleanup;
    if (MeshdrawCreateOffscreenView(options.width, options.height) != 1) {
        error = "no offscreen drawing surface (EGL with Mesa's surfaceless platform is needed)";
        return std::nullopt;
    }
    ::Set3DView(std::int16_t(options.mode), options.background);
    OffscreenModelRenderer renderer;
    BuildModel(model, renderer, textures);
    ::RotateView(float(options.turnA), float(options.turnB), 0);
    const double fitted = FitDistance(renderer.bounds, options.width, options.height);
    MeshdrawSetViewDistance(float(ZoomedDistance(fitted, int(options.zoomNotches))));
    ::DrawView();
    Picture picture{options.width, options.height,
                    std::vector<std::uint8_t>(std::size_t(options.width) * options.height * 3)};
    if (MeshdrawReadView(picture.rgb.data(), std::int64_t(picture.rgb.size())) != 1) {
        error = "the picture could not be read back";
        return std::nullopt;
    }
    return picture;
}

} // namespace meshglass
