// Feeds arbitrary manifests and pictures to the GAF builder: the input is the
// manifest's text, a NUL byte, then the bytes every picture name gets (an
// input without a NUL has no pictures). Building may fail with a reason,
// never crash; a tree it builds and the writer accepts reads back with the
// same pixels.
#include "default_max_len.hpp"
#include "spriteglass/gaf_builder.hpp"
#include "spriteglass/gaf_writer.hpp"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace spriteglass;

namespace {

// Pictures whose headers claim more pixels than this are refused before
// decoding: the decoders' own limits are far larger, and filling them on
// every run would only slow the search.
constexpr std::uint64_t kMaxPixels = 1 << 16;

std::uint64_t claimedPixels(const std::vector<std::uint8_t>& b) {
    if (b.size() >= 24 && b[0] == 0x89 && b[1] == 'P') {
        const auto be = [&](std::size_t at) {
            return std::uint64_t(b[at]) << 24 | std::uint64_t(b[at + 1]) << 16 |
                   std::uint64_t(b[at + 2]) << 8 | b[at + 3];
        };
        return be(16) * be(20);
    }
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        std::int32_t width, height;
        std::memcpy(&width, &b[18], 4);
        std::memcpy(&height, &b[22], 4);
        return std::uint64_t(width < 0 ? -std::int64_t(width) : width) *
               std::uint64_t(height < 0 ? -std::int64_t(height) : height);
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AddDefaultMaxLen(argc, argv, "-max_len=8192");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto* nul = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t manifestSize = nul ? std::size_t(nul - data) : size;
    const std::vector<std::uint8_t> picture(nul ? nul + 1 : data + size, data + size);
    const bool tooLarge = claimedPixels(picture) > kMaxPixels;
    const PictureSource pictures = [&](const std::string&, std::string& error) {
        if (tooLarge) {
            error = "too large";
            return std::optional<std::vector<std::uint8_t>>();
        }
        return std::optional(picture);
    };
    static Palette palette = [] {
        Palette p{};
        for (std::size_t k = 0; k < p.size(); ++k) {
            p[k] = std::uint8_t(k * 37);
        }
        return p;
    }();
    GafBuildOptions options;
    options.quantise = size % 2 == 1;
    const GafBuildResult built =
        BuildGaf(std::string_view(reinterpret_cast<const char*>(data), manifestSize), pictures,
                 palette, options);
    if (!built.gaf) {
        if (built.error.empty()) {
            __builtin_trap(); // a failure always says why
        }
        return 0;
    }
    const GafWriteResult written = GafFileBytes(*built.gaf);
    if (!written.ok()) {
        return 0;
    }
    classGAF back;
    back.LoadBytes(written.bytes);
    if (back.Animations().size() != built.gaf->Animations().size()) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < back.Animations().size(); ++i) {
        const auto& a = built.gaf->Animations()[i].Frames();
        const auto& b = back.Animations()[i].Frames();
        if (a.size() != b.size()) {
            __builtin_trap();
        }
        for (std::size_t f = 0; f < a.size(); ++f) {
            if (a[f].Pixels() != b[f].Pixels()) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
