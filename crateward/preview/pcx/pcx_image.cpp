#include "pcx_image.hpp"
#include "pcx_run_length.hpp"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace crateward::pcx {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kPaletteSize = 769; // the marker 12 and 256 triples
constexpr std::uintmax_t kMaxFileSize = 256ULL * 1024 * 1024;
// One run of two bytes gives at most 63 bytes.
constexpr std::int64_t kMaxExpansion = 32;

std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

bool fail(std::string* error, const char* reason) {
    if (error) {
        *error = reason;
    }
    return false;
}

} // namespace

std::optional<PcxImage> DecodePcx(std::span<const std::uint8_t> bytes, std::string* error,
                                  RunLengthDecoder decoder) {
    if (bytes.size() < kHeaderSize) {
        fail(error, "shorter than the 128-byte header");
        return std::nullopt;
    }
    if (bytes[0] != 0x0A) {
        fail(error, "not a PCX file");
        return std::nullopt;
    }
    const int encoding = bytes[2];
    const int bitsPerPlane = bytes[3];
    const int xmin = le16(bytes, 4), ymin = le16(bytes, 6);
    const int xmax = le16(bytes, 8), ymax = le16(bytes, 10);
    const int planes = bytes[65];
    const std::int64_t bytesPerLine = le16(bytes, 66);
    if (encoding > 1) {
        fail(error, "unknown encoding");
        return std::nullopt;
    }
    if (bitsPerPlane != 8 || (planes != 1 && planes != 3)) {
        fail(error, "only 8-bit and 24-bit pictures are read");
        return std::nullopt;
    }
    if (xmax < xmin || ymax < ymin) {
        fail(error, "bad picture window");
        return std::nullopt;
    }
    PcxImage image;
    image.width = xmax - xmin + 1;
    image.height = ymax - ymin + 1;
    image.bits = planes * 8;
    if (bytesPerLine < image.width) {
        fail(error, "bytes per line shorter than the width");
        return std::nullopt;
    }
    const std::int64_t pixels = std::int64_t(image.width) * image.height;
    const std::int64_t coded = bytesPerLine * planes * image.height;
    std::span<const std::uint8_t> data = bytes.subspan(kHeaderSize);
    // The 8-bit palette follows the picture data behind the marker 12.
    bool hasPalette = false;
    if (planes == 1 && data.size() >= kPaletteSize && data[data.size() - kPaletteSize] == 12) {
        hasPalette = true;
        std::copy_n(data.end() - 768, 768, image.palette.begin());
        data = data.first(data.size() - kPaletteSize);
    }
    if (pixels > kMaxPixels || coded > (std::int64_t(data.size()) + 2) * kMaxExpansion) {
        fail(error, "picture larger than its data");
        return std::nullopt;
    }
    if (planes == 1 && !hasPalette) {
        // No palette: grey levels.
        for (int i = 0; i < 256; ++i) {
            std::fill_n(image.palette.begin() + 3 * i, 3, std::uint8_t(i));
        }
    }
    std::vector<std::uint8_t> lines(std::size_t(coded), 0);
    std::size_t filled;
    if (encoding == 1) {
        filled = ExpandRunLength(data, lines, decoder);
    } else {
        filled = std::min(lines.size(), data.size());
        std::copy_n(data.begin(), filled, lines.begin());
    }
    image.complete = filled == lines.size();
    image.rowsDecoded = int(filled / std::size_t(bytesPerLine * planes));

    const std::size_t w = std::size_t(image.width);
    const std::size_t stride = std::size_t(bytesPerLine);
    if (planes == 1) {
        // The rows move up over the padding of the rows before them.
        if (stride != w) {
            for (std::size_t y = 1; y < std::size_t(image.height); ++y) {
                std::memmove(lines.data() + y * w, lines.data() + y * stride, w);
            }
            lines.resize(std::size_t(pixels));
        }
        image.indices = std::move(lines);
    } else {
        image.rgb.resize(std::size_t(pixels) * 3);
        for (std::size_t y = 0; y < std::size_t(image.height); ++y) {
            const std::uint8_t* row = lines.data() + y * stride * 3;
            std::uint8_t* out = image.rgb.data() + y * w * 3;
            for (std::size_t x = 0; x < w; ++x) {
                out[3 * x] = row[x];
                out[3 * x + 1] = row[stride + x];
                out[3 * x + 2] = row[2 * stride + x];
            }
        }
    }
    return image;
}

std::vector<std::uint8_t> RgbBytes(const PcxImage& image) {
    if (image.bits != 8) {
        return image.rgb;
    }
    std::vector<std::uint8_t> rgb(image.indices.size() * 3);
    std::uint8_t* out = rgb.data();
    for (const std::uint8_t index : image.indices) {
        out = std::copy_n(image.palette.data() + 3 * std::size_t(index), 3, out);
    }
    return rgb;
}

std::optional<PcxImage> LoadPcx(const std::filesystem::path& file, std::string* error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        fail(error, "cannot read the file");
        return std::nullopt;
    }
    if (size > kMaxFileSize) {
        fail(error, "file too large");
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()))) {
        fail(error, "cannot read the file");
        return std::nullopt;
    }
    return DecodePcx(bytes, error);
}

} // namespace crateward::pcx
