// Feeds arbitrary bytes to the GAF reader, then draws, composes, describes
// and encodes whatever it loaded: nothing may crash, hang or read out of bounds.
//
// The work of one input is bounded, and that is what makes the search fast
// (it ran at about 40 inputs a second on the seeds without these bounds):
// - Inputs are at most kMaxInput bytes unless -max_len says otherwise. The
//   real files among the seeds are up to 120 KB; their first 4 KiB hold
//   headers, entries, tables and frames of every kind, and every byte more
//   only multiplies the work of each run (a mutant of a 120 KB file could
//   point 18,000 entries into its bytes).
// - The reader lets a file make frame pixels in proportion to its size (4 Mi
//   plus 256 a byte), each set to the transparent index in fresh pages; here
//   a load makes at most kLoadPixels (the seeds' frames fit).
// - Drawing, hashing and picture code run on at most kPixelBudget pixels:
//   that code is the same for every frame, so a few thousand pixels exercise
//   it as well as megabytes would; the surfaces are made once.
#include "default_max_len.hpp"
#include "spriteglass/compose.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_json.hpp"
#include "spriteglass/image_files.hpp"

#include <cstddef>
#include <cstdint>

using namespace spriteglass;

namespace {

constexpr const char* kMaxInput = "-max_len=4096";
constexpr std::int64_t kLoadPixels = 1 << 18;
constexpr std::int64_t kPixelBudget = 1 << 12;

std::int64_t pixelsBelow(const classGAFFrame& frame) {
    std::int64_t total = std::int64_t(frame.Pixels().size());
    for (const classGAFFrame& subframe : frame.Subframes()) {
        total += pixelsBelow(subframe);
    }
    return total;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AddDefaultMaxLen(argc, argv, kMaxInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    classGAF gaf;
    gaf.LoadBytes(std::span(data, size), {}, kLoadPixels);
    // The names-only reader lists exactly the entries the full load keeps.
    const std::vector<std::string> names = classGAF::EntryNames(std::span(data, size));
    if (names.size() != gaf.Animations().size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] != gaf.Animations()[i].Name()) {
            __builtin_trap();
        }
    }
    std::int64_t pixels = 0;
    for (const classGAFAnimation& animation : gaf.Animations()) {
        for (const classGAFFrame& frame : animation.Frames()) {
            pixels += pixelsBelow(frame);
        }
    }
    if (pixels <= kPixelBudget) {
        (void)GafInfoJson(gaf);
    }
    static const Palette palette{};
    static IndexedSurface surface;
    static IndexedSurface preview;
    static std::vector<std::uint8_t> background;
    if (!surface.addrBits()) {
        surface.Initialize(64, 64);
    }
    std::int64_t budget = kPixelBudget;
    for (const classGAFAnimation& animation : gaf.Animations()) {
        const PreviewSize previewSize = PreviewSurfaceSize(animation);
        const std::int64_t previewPixels = std::int64_t(previewSize.width) * previewSize.height;
        bool composing = false;
        if (previewPixels <= budget && previewSize.width > 0 && previewSize.height > 0) {
            budget -= previewPixels;
            composing = (preview.BmpWidth() == previewSize.width &&
                         preview.BmpHeight() == previewSize.height) ||
                        preview.Initialize(previewSize.width, previewSize.height);
            background.assign(std::size_t(previewPixels), BackIndex);
        }
        for (const classGAFFrame& frame : animation.Frames()) {
            (void)DisplayOrigin(frame, 300, 200, false);
            const std::int64_t cost = pixelsBelow(frame);
            if (cost > budget) {
                continue;
            }
            budget -= cost;
            frame.DrawImage(surface, 32, 32);
            if (composing) {
                ComposePreviewPicture(preview, background, frame);
            }
            (void)BitmapBytes(frame.Pixels(), palette, frame.Width(), frame.Height());
        }
    }
    return 0;
}
