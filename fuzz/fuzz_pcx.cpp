// Feeds arbitrary bytes to the PCX decoder, then writes what it decoded as
// BMP and PNG bytes: nothing may crash, hang or read out of bounds. The fast
// run-length decoder must give what the plain rule gives.
#include "pcx_image.hpp"
#include "rgb_files.hpp"

#include <cstddef>
#include <cstdint>

using namespace crateward::pcx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto image = DecodePcx(std::span(data, size));
    const auto plain = DecodePcx(std::span(data, size), nullptr, RunLengthDecoder::Plain);
    if (image.has_value() != plain.has_value() ||
        (image && (image->indices != plain->indices || image->rgb != plain->rgb ||
                   image->rowsDecoded != plain->rowsDecoded))) {
        __builtin_trap();
    }
    if (image && std::int64_t(image->width) * image->height <= (1 << 16)) {
        const auto rgb = RgbBytes(*image);
        (void)RgbBitmapBytes(rgb, image->width, image->height);
        (void)RgbPngBytes(rgb, image->width, image->height);
    }
    return 0;
}
