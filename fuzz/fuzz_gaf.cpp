// Feeds arbitrary bytes to the GAF reader, then draws, composes, describes
// and encodes whatever it loaded: nothing may crash, hang or read out of bounds.
#include "spriteglass/compose.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_json.hpp"
#include "spriteglass/image_files.hpp"

#include <cstddef>
#include <cstdint>

using namespace spriteglass;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    classGAF gaf;
    gaf.LoadBytes(std::span(data, size));
    // Hashing every pixel of huge frames would only slow the search down.
    std::size_t pixels = 0;
    for (const classGAFAnimation& animation : gaf.Animations()) {
        for (const classGAFFrame& frame : animation.Frames()) {
            pixels += frame.Pixels().size();
        }
    }
    if (pixels <= (1u << 20)) {
        (void)GafInfoJson(gaf);
    }
    const Palette palette{};
    IndexedSurface surface;
    surface.Initialize(64, 64);
    for (const classGAFAnimation& animation : gaf.Animations()) {
        const PreviewSize previewSize = PreviewSurfaceSize(animation);
        IndexedSurface preview;
        std::vector<std::uint8_t> background;
        if (std::int64_t(previewSize.width) * previewSize.height <= (1 << 18) &&
            preview.Initialize(previewSize.width, previewSize.height)) {
            background.assign(std::size_t(previewSize.width) * previewSize.height, BackIndex);
        }
        std::size_t composed = 0;
        for (const classGAFFrame& frame : animation.Frames()) {
            frame.DrawImage(surface, 32, 32);
            if (!background.empty() && composed++ < 4) {
                ComposePreviewPicture(preview, background, frame);
            }
            (void)DisplayOrigin(frame, 300, 200, false);
            if (frame.Pixels().size() <= (1 << 16)) {
                (void)BitmapBytes(frame.Pixels(), palette, frame.Width(), frame.Height());
            }
        }
    }
    return 0;
}
