#include "spriteglass/picture_reader.hpp"

#include <csetjmp>
#include <cstring>
#include <unordered_map>

#include <png.h>

namespace spriteglass {

namespace {

std::uint32_t get32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

bool sizeAllowed(std::int64_t width, std::int64_t height, std::string& error) {
    if (width <= 0 || height <= 0 || width > MaxPictureSide || height > MaxPictureSide ||
        width * height > MaxPicturePixels) {
        error = "the picture's size " + std::to_string(width) + " x " + std::to_string(height) +
                " is not allowed (1 to 32767 a side, 16 Mi pixels at most)";
        return false;
    }
    return true;
}

// An uncompressed 8-bit BMP with a 40-byte (or longer) information header;
// rows bottom-up (positive height) or top-down (negative height).
std::optional<Picture> readBmp(std::span<const std::uint8_t> b, std::string& error) {
    if (b.size() < 54) {
        error = "the BMP file is cut short";
        return std::nullopt;
    }
    const std::uint32_t dataAt = get32(&b[10]);
    const std::uint32_t headerSize = get32(&b[14]);
    const std::int32_t width = std::int32_t(get32(&b[18]));
    const std::int32_t rawHeight = std::int32_t(get32(&b[22]));
    const int bits = b[28] | b[29] << 8;
    const std::uint32_t compression = get32(&b[30]);
    if (headerSize < 40 || bits != 8 || compression != 0) {
        error = "only uncompressed 8-bit BMP pictures are read (this one has " +
                std::to_string(bits) + " bits per pixel" +
                (compression != 0 ? ", compressed" : "") + ")";
        return std::nullopt;
    }
    const std::int64_t height = rawHeight < 0 ? -std::int64_t(rawHeight) : rawHeight;
    if (!sizeAllowed(width, height, error)) {
        return std::nullopt;
    }
    const std::uint64_t stride = (std::uint64_t(width) + 3) / 4 * 4;
    if (dataAt > b.size() || stride * std::uint64_t(height) > b.size() - dataAt) {
        error = "the BMP file is cut short";
        return std::nullopt;
    }
    Picture picture;
    picture.width = width;
    picture.height = int(height);
    picture.indexed = true;
    picture.indices.resize(std::size_t(width) * std::size_t(height));
    for (std::int64_t row = 0; row < height; ++row) {
        const std::int64_t stored = rawHeight < 0 ? row : height - 1 - row;
        std::memcpy(picture.indices.data() + row * width, b.data() + dataAt + stored * stride,
                    std::size_t(width));
    }
    return picture;
}

struct PngSource {
    std::span<const std::uint8_t> bytes;
    std::size_t at = 0;
    char message[200] = {};
};

void pngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->bytes.size() - source->at) {
        png_error(png, "the PNG file is cut short");
    }
    std::memcpy(out, source->bytes.data() + source->at, length);
    source->at += length;
}

void pngError(png_structp png, png_const_charp message) {
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", message);
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// libpng reports errors by a long jump: nothing with a destructor lives in
// this function across the jump, and nothing set after the jump point is used
// after it; the pixels and row pointers live in the caller.
bool decodePng(PngSource& source, Picture& picture, std::vector<std::uint8_t>& out,
               std::vector<png_bytep>& rows, std::string& error) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, pngRead);
    png_set_user_limits(png, MaxPictureSide, MaxPictureSide);
    png_set_chunk_malloc_max(png, 8u << 20);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (std::uint64_t(width) * height > std::uint64_t(MaxPicturePixels)) {
        std::snprintf(source.message, sizeof source.message, "more than 16 Mi pixels");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    picture.width = int(width);
    picture.height = int(height);
    picture.indexed = colourType == PNG_COLOR_TYPE_PALETTE;
    int channels = 1;
    if (picture.indexed) {
        if (depth < 8) {
            png_set_packing(png); // one index per byte
        }
    } else {
        channels = 4;
        png_set_expand(png); // low bit depths, grey, tRNS to full RGBA
        png_set_strip_16(png);
        png_set_gray_to_rgb(png);
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(width) * png_size_t(channels)) {
        std::snprintf(source.message, sizeof source.message, "an unexpected pixel layout");
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    out.resize(std::size_t(width) * height * std::size_t(channels));
    rows.resize(height);
    for (png_uint_32 r = 0; r < height; ++r) {
        rows[r] = out.data() + std::size_t(r) * width * std::size_t(channels);
    }
    png_read_image(png, rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::optional<Picture> readPng(std::span<const std::uint8_t> bytes, std::string& error) {
    PngSource source;
    source.bytes = bytes;
    Picture picture;
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    if (!decodePng(source, picture, pixels, rows, error)) {
        if (error.empty()) {
            error = std::string("the PNG file cannot be read: ") + source.message;
        }
        return std::nullopt;
    }
    if (!sizeAllowed(picture.width, picture.height, error)) {
        return std::nullopt;
    }
    (picture.indexed ? picture.indices : picture.rgba) = std::move(pixels);
    return picture;
}

} // namespace

std::optional<Picture> ReadPicture(std::span<const std::uint8_t> bytes, std::string& error) {
    static const std::uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), pngSignature, 8) == 0) {
        return readPng(bytes, error);
    }
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return readBmp(bytes, error);
    }
    error = "not a BMP or PNG picture";
    return std::nullopt;
}

std::vector<std::uint8_t> QuantiseToPalette(const Picture& picture, const Palette& palette) {
    if (picture.indexed) {
        return picture.indices;
    }
    std::vector<std::uint8_t> out(picture.rgba.size() / 4);
    std::unordered_map<std::uint32_t, std::uint8_t> nearest;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t* p = &picture.rgba[4 * i];
        if (p[3] < 128) {
            out[i] = MaskIndex;
            continue;
        }
        const std::uint32_t key = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
        auto found = nearest.find(key);
        if (found == nearest.end()) {
            int best = -1;
            int bestDistance = 0;
            for (int k = 0; k < 256; ++k) {
                if (k == MaskIndex) {
                    continue;
                }
                const int dr = int(p[0]) - palette[4 * k + 2];
                const int dg = int(p[1]) - palette[4 * k + 1];
                const int db = int(p[2]) - palette[4 * k + 0];
                const int distance = dr * dr + dg * dg + db * db;
                if (best < 0 || distance < bestDistance) {
                    best = k;
                    bestDistance = distance;
                }
            }
            found = nearest.emplace(key, std::uint8_t(best)).first;
        }
        out[i] = found->second;
    }
    return out;
}

} // namespace spriteglass
