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
constexpr int kCompressionAt = 9;
constexpr int kSubframeCountAt = 10; // one byte; the byte behind it is not part of the count
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
    width_ = readI16(record);
    height_ = readI16(record + 2);
    positionX_ = readI16(record + 4);
    positionY_ = readI16(record + 6);
    const std::uint8_t compression = record[kCompressionAt];
    compressed_ = compression != 0;
    const int subframeCount = record[kSubframeCountAt];
    const std::int64_t dataOffset = readI32(record + kDataOffsetAt);
    fps_ = readI32(record + kFpsAt);

    // A frame without size is dropped. A negative size cannot describe a
    // picture either (its product could even look positive), so it is dropped too.
    if (width_ <= 0 || height_ <= 0) {
        return false;
    }
    const std::int64_t count = std::int64_t(width_) * height_;
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
        return DecodeRunLengthRows(context.bytes(), dataOffset, width_, height_, pixels_);
    }
    return true;
}

void classGAFFrame::DrawImage(IndexedSurface& surface, int x, int y) const {
    if (subframes_.empty()) {
        if (std::int64_t(pixels_.size()) == std::int64_t(width_) * height_) {
            surface.ClearTileDraw(x - positionX_, y - positionY_, width_, height_, pixels_,
                                  MaskIndex, BackIndex, 1);
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
    return SaveBitmap(filename, pixels_, palette, width_, height_);
}

void classGAFFrame::ExportAllImages(const std::filesystem::path& directory, const std::string& stem,
                                    const Palette& palette, ImageFormat format) const {
    if (!subframes_.empty()) {
        for (std::size_t j = 0; j < subframes_.size(); ++j) {
            subframes_[j].ExportAllImages(directory, stem + "_" + NumberPart(int(j) + 1), palette,
                                          format);
        }
        return;
    }
    const std::string name = Cp1252ToUtf8(stem) + (format == ImageFormat::Bmp ? ".bmp" : ".png");
    if (!IsPortableFileName(name)) {
        return; // a name the file system refuses writes nothing, silently
    }
    if (format == ImageFormat::Bmp) {
        SaveBitmap(directory / name, pixels_, palette, width_, height_);
    } else {
        SavePng(directory / name, pixels_, palette, width_, height_, MaskIndex);
    }
}

} // namespace spriteglass
