#include "spriteglass/gaf_frame.hpp"

#include "spriteglass/gaf_load_context.hpp"
#include "spriteglass/image_files.hpp"
#include "spriteglass/run_length_rows.hpp"
#include "spriteglass/surface.hpp"
#include "spriteglass/text.hpp"

#include <algorithm>
#include <cstring>

namespace spriteglass {

namespace {

// Offsets inside the 24-byte frame record.
constexpr int kRecordSize = 24;
constexpr int kUnknown8At = 8;
constexpr int kCompressionAt = 9;
constexpr int kSubframeCountAt = 10; // one byte; the byte behind it is not part of the count
constexpr int kUnknown11At = 11;
constexpr int kUnknown12At = 12;
constexpr int kDataOffsetAt = 16;
constexpr int kFpsAt = 20;

std::int16_t readI16(const std::uint8_t* p) {
    std::int16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

std::int32_t readI32(const std::uint8_t* p) {
    std::int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

} // namespace

std::string NumberPart(int number) {
    std::string digits = std::to_string(number);
    return digits.size() < 2 ? "0" + digits : digits;
}

classGAFFrame::classGAFFrame(const GafFrameFields& fields, std::vector<std::uint8_t> pixels,
                             std::vector<classGAFFrame> subframes)
    : fields_(fields), subframes_(std::move(subframes)), pixels_(std::move(pixels)) {
    if (!subframes_.empty() && fields_.Width > 0 && fields_.Height > 0) {
        pixels_.assign(std::size_t(fields_.Width) * std::size_t(fields_.Height), MaskIndex);
    }
}

bool classGAFFrame::ReplacePicture(int Width, int Height, std::vector<std::uint8_t> pixels) {
    if (!subframes_.empty() || Width <= 0 || Height <= 0 ||
        std::uint64_t(Width) * std::uint64_t(Height) != pixels.size()) {
        return false;
    }
    fields_.Width = Width;
    fields_.Height = Height;
    pixels_ = std::move(pixels);
    return true;
}

void classGAFFrame::Initialize() {
    subframes_.clear();
    pixels_.assign(1, 0);
}

bool classGAFFrame::Load(GafLoadContext& context, std::int64_t offset) {
    Initialize();
    if (--context.frameRecordsLeft < 0 || !context.has(offset, kRecordSize)) {
        return false;
    }
    const std::uint8_t* record = context.at(offset);
    fields_.Width = readI16(record);
    fields_.Height = readI16(record + 2);
    fields_.PositionX = readI16(record + 4);
    fields_.PositionY = readI16(record + 6);
    fields_.unknown8 = record[kUnknown8At];
    const std::uint8_t compression = record[kCompressionAt];
    fields_.compression = compression;
    const int subframeCount = record[kSubframeCountAt];
    fields_.unknown11 = record[kUnknown11At];
    fields_.unknown12 = readI32(record + kUnknown12At);
    const std::int64_t dataOffset = readI32(record + kDataOffsetAt);
    fields_.FPS = readI32(record + kFpsAt);
    const int width = fields_.Width;
    const int height = fields_.Height;

    // A frame without size is dropped. A negative size cannot describe a
    // picture either (its product could even look positive), so it is dropped too.
    if (width <= 0 || height <= 0) {
        return false;
    }
    const std::int64_t count = std::int64_t(width) * height;
    if (count > GafLoadContext::MaxFramePixels || count > context.framePixelsLeft ||
        dataOffset < 0) {
        return false;
    }
    context.framePixelsLeft -= count;
    if (subframeCount == 0 && compression == 0) {
        // Raw pixels are copied as they are, without a fill first.
        if (!context.has(dataOffset, count)) {
            return false;
        }
        pixels_.assign(context.at(dataOffset), context.at(dataOffset) + count);
        return true;
    }
    pixels_.assign(std::size_t(count), MaskIndex);

    if (subframeCount != 0) {
        if (!context.has(dataOffset, std::int64_t(subframeCount) * 4)) {
            return false;
        }
        const bool tooDeep = int(context.path.size()) >= GafLoadContext::MaxSubframeDepth;
        context.path.push_back(offset);
        for (int j = 0; j < subframeCount; ++j) {
            const std::int64_t subOffset = readI32(context.at(dataOffset + 4 * j));
            // A subframe that is one of its own ancestors, or lies too deep, is left out.
            if (tooDeep || std::find(context.path.begin(), context.path.end(), subOffset) !=
                               context.path.end()) {
                continue;
            }
            classGAFFrame subframe;
            if (subframe.Load(context, subOffset)) {
                subframes_.push_back(std::move(subframe));
            }
        }
        context.path.pop_back();
        return true;
    }
    if (compression == 1) {
        return DecodeRunLengthRows(context.bytes(), dataOffset, width, height, pixels_);
    }
    return true;
}

void classGAFFrame::DrawImage(IndexedSurface& surface, int x, int y) const {
    const int width = Width();
    const int height = Height();
    const int positionX = PositionX();
    const int positionY = PositionY();
    if (subframes_.empty()) {
        if (std::int64_t(pixels_.size()) == std::int64_t(width) * height) {
            surface.ClearTileDraw(x - positionX, y - positionY, width, height, pixels_, MaskIndex,
                                  BackIndex, 1);
        }
        return;
    }
    for (const classGAFFrame& subframe : subframes_) {
        subframe.DrawImage(surface, x, y);
    }
}

bool classGAFFrame::ExportFrame(const std::filesystem::path& filename,
                                const Palette& palette) const {
    if (!subframes_.empty()) {
        return false;
    }
    return SaveBitmap(filename, pixels_, palette, Width(), Height());
}

std::size_t classGAFFrame::ExportAllImages(const std::filesystem::path& directory,
                                           const std::string& stem, const Palette& palette,
                                           ImageFormat format) const {
    if (!subframes_.empty()) {
        std::size_t failed = 0;
        for (std::size_t j = 0; j < subframes_.size(); ++j) {
            failed += subframes_[j].ExportAllImages(directory, stem + "_" + NumberPart(int(j) + 1),
                                                    palette, format);
        }
        return failed;
    }
    const std::string name = Cp1252ToUtf8(stem) + (format == ImageFormat::Bmp ? ".bmp" : ".png");
    if (!IsPortableFileName(name)) {
        return 0; // a name the file system refuses writes nothing, silently
    }
    const bool written =
        format == ImageFormat::Bmp
            ? SaveBitmap(directory / name, pixels_, palette, Width(), Height())
            : SavePng(directory / name, pixels_, palette, Width(), Height(), MaskIndex);
    return written ? 0 : 1;
}

} // namespace spriteglass
