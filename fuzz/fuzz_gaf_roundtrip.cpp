// Any tree the GAF reader makes of arbitrary bytes, written by the GAF writer
// (its frames kept as they are, or all made raw, or all run-length rows, as
// the first byte says), reads back identical: every field, tag, name and pixel.
// The writer may refuse a tree (with a reason); it may never write one that
// reads back otherwise.
#include "default_max_len.hpp"
#include "spriteglass/gaf_file.hpp"
#include "spriteglass/gaf_writer.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace spriteglass;

namespace {

bool sameFrame(const classGAFFrame& a, const classGAFFrame& b) {
    const GafFrameFields &x = a.Fields(), &y = b.Fields();
    if (x.Width != y.Width || x.Height != y.Height || x.PositionX != y.PositionX ||
        x.PositionY != y.PositionY || x.unknown8 != y.unknown8 || x.compression != y.compression ||
        x.unknown11 != y.unknown11 || x.unknown12 != y.unknown12 || x.FPS != y.FPS ||
        a.Pixels() != b.Pixels() || a.Subframes().size() != b.Subframes().size()) {
        return false;
    }
    for (std::size_t j = 0; j < a.Subframes().size(); ++j) {
        if (!sameFrame(a.Subframes()[j], b.Subframes()[j])) {
            return false;
        }
    }
    return true;
}

bool sameFile(const classGAF& a, const classGAF& b) {
    if (a.Unknown8() != b.Unknown8() || a.Animations().size() != b.Animations().size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.Animations().size(); ++i) {
        const classGAFAnimation &x = a.Animations()[i], &y = b.Animations()[i];
        if (x.Name() != y.Name() || x.Animated() != y.Animated() ||
            x.FrameTags() != y.FrameTags() || x.Fields().unknown2 != y.Fields().unknown2 ||
            x.Fields().unknown4 != y.Fields().unknown4 ||
            x.Fields().namePadding != y.Fields().namePadding ||
            x.Frames().size() != y.Frames().size()) {
            return false;
        }
        for (std::size_t f = 0; f < x.Frames().size(); ++f) {
            if (!sameFrame(x.Frames()[f], y.Frames()[f])) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AddDefaultMaxLen(argc, argv, "-max_len=4096");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    const int mode = data[0] % 3; // 0 as read, 1 raw, 2 run-length rows
    classGAF gaf;
    gaf.LoadBytes(std::span(data + 1, size - 1), {}, 1 << 18);
    if (mode != 0) {
        for (classGAFAnimation& animation : gaf.EditAnimations()) {
            for (classGAFFrame& frame : animation.EditFrames()) {
                if (frame.Subframes().empty()) {
                    frame.SetCompression(std::uint8_t(mode - 1));
                }
            }
        }
    }
    const GafWriteResult written = GafFileBytes(gaf);
    if (!written.ok()) {
        return 0;
    }
    classGAF back;
    back.LoadBytes(written.bytes);
    if (!sameFile(gaf, back)) {
        __builtin_trap();
    }
    return 0;
}
