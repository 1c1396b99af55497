#include "pcx_image.hpp"

#include <algorithm>
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

// Expands the run-length data into `out` (already sized); returns false
// when the data ends before `out` is full. Runs that go past the end are cut.
bool expand(std::span<const std::uint8_t> data, bool coded, std::vector<std::uint8_t>& out) {
    std::size_t at = 0;
    std::size_t filled = 0;
    const std::size_t total = out.size();
    if (!coded) {
        const std::size_t n = std::min(total, data.size());
        std::copy_n(data.begin(), n, out.begin());
        return n == total;
    }
    while (filled < total && at < data.size()) {
        std::uint8_t value = data[at++];
        std::size_t count = 1;
        if ((value & 0xC0) == 0xC0) {
            count = value & 0x3F;
            if (at >= data.size()) {
                return false;
            }
            value = data[at++];
        }
        count = std::min(count, total - filled);
        std::fill_n(out.begin() + std::ptrdiff_t(filled), count, value);
        filled += count;
    }
    return filled == total;
}

} // namespace

std::optional<PcxImage> DecodePcx(std::span<const std::uint8_t> bytes, std::string* error) {
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
    image.complete = expand(data, encoding == 1, lines);

    const std::size_t w = std::size_t(image.width);
    const std::size_t stride = std::size_t(bytesPerLine);
    image.rgb.resize(std::size_t(pixels) * 3);
    if (planes == 1) {
        image.indices.resize(std::size_t(pixels));
        for (std::size_t y = 0; y < std::size_t(image.height); ++y) {
            std::copy_n(lines.begin() + std::ptrdiff_t(y * stride), w,
                        image.indices.begin() + std::ptrdiff_t(y * w));
        }
        for (std::size_t i = 0; i < image.indices.size(); ++i) {
            std::copy_n(image.palette.begin() + 3 * image.indices[i], 3,
                        image.rgb.begin() + std::ptrdiff_t(3 * i));
        }
    } else {
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
