#include "spriteglass/gaf_animation.hpp"

#include "spriteglass/gaf_load_context.hpp"
#include "spriteglass/text.hpp"

#include <algorithm>
#include <cstring>

namespace spriteglass {

namespace {

constexpr int kRecordSize = 40;
constexpr int kNameAt = 8;
constexpr int kNameSize = 32;
constexpr std::int32_t kAnimatedTag = 2;

int maxOver(const classGAFFrame& frame, bool width) {
    int best = width ? frame.Width() : frame.Height();
    for (const classGAFFrame& subframe : frame.Subframes()) {
        best = std::max(best, maxOver(subframe, width));
    }
    return best;
}

} // namespace

classGAFAnimation::classGAFAnimation(std::string name, const GafEntryFields& fields,
                                     std::vector<classGAFFrame> frames,
                                     std::vector<std::int32_t> tags, bool animated)
    : name_(std::move(name)), frames_(std::move(frames)), tags_(std::move(tags)), fields_(fields),
      animated_(animated) {
    tags_.resize(frames_.size(), 0);
}

bool classGAFAnimation::Load(GafLoadContext& context, std::int64_t offset) {
    name_.clear();
    frames_.clear();
    tags_.clear();
    fields_ = GafEntryFields{};
    animated_ = false;
    if (!context.has(offset, kRecordSize)) {
        return false;
    }
    const std::uint8_t* record = context.at(offset);
    std::int16_t frameCount;
    std::memcpy(&frameCount, record, 2);
    std::memcpy(&fields_.unknown2, record + 2, 2);
    std::memcpy(&fields_.unknown4, record + 4, 4);
    const char* name = reinterpret_cast<const char*>(record + kNameAt);
    name_.assign(name, strnlen(name, kNameSize)); // everything before the first NUL
    const std::string_view padding(name + name_.size(), kNameSize - name_.size());
    if (padding.find_first_not_of('\0') != std::string_view::npos) {
        fields_.namePadding = padding;
    }

    // Only the part of the frame table that lies inside the file is read, and
    // all entries together read at most a bounded number of table rows.
    const std::int64_t table = offset + kRecordSize;
    const std::int64_t inFile = std::max<std::int64_t>(0, (context.size() - table) / 8);
    std::int64_t rows = std::min<std::int64_t>(frameCount, inFile);
    rows = std::min(rows, context.tableRowsLeft);
    if (rows <= 0) {
        return true;
    }
    context.tableRowsLeft -= rows;
    for (std::int64_t i = 0; i < rows; ++i) {
        std::int32_t frameOffset, tag;
        std::memcpy(&frameOffset, context.at(table + 8 * i), 4);
        std::memcpy(&tag, context.at(table + 8 * i + 4), 4);
        if (tag == kAnimatedTag) {
            animated_ = true;
        }
        if (frameOffset > 0) {
            classGAFFrame frame;
            if (frame.Load(context, frameOffset)) {
                frames_.push_back(std::move(frame));
                tags_.push_back(tag);
            }
        }
    }
    return true;
}

int classGAFAnimation::SubframeTotal() const {
    int total = 0;
    for (const classGAFFrame& frame : frames_) {
        total += int(frame.Subframes().size());
    }
    return total;
}

int classGAFAnimation::GetMaxWidth() const {
    int best = 0;
    for (const classGAFFrame& frame : frames_) {
        best = std::max(best, maxOver(frame, true));
    }
    return best;
}

int classGAFAnimation::GetMaxHeight() const {
    int best = 0;
    for (const classGAFFrame& frame : frames_) {
        best = std::max(best, maxOver(frame, false));
    }
    return best;
}

std::size_t classGAFAnimation::ExportAllImages(const std::filesystem::path& directory,
                                               const Palette& palette, ImageFormat format) const {
    if (!IsPortableFileName(Cp1252ToUtf8(name_))) {
        return 0;
    }
    std::size_t failed = 0;
    for (std::size_t i = 0; i < frames_.size(); ++i) {
        failed += frames_[i].ExportAllImages(directory, name_ + "_" + NumberPart(int(i) + 1),
                                             palette, format);
    }
    return failed;
}

} // namespace spriteglass
