// One entry of a GAF file: a named sequence of frames.
#pragma once

#include "spriteglass/gaf_frame.hpp"

#include <string>
#include <vector>

namespace spriteglass {

// The fields of the 40-byte entry record the viewer does not use, kept so a
// written file holds what was read.
struct GafEntryFields {
    std::int16_t unknown2 = 1; // the game's own files hold 1 here
    std::int32_t unknown4 = 0;
    // The bytes of the 32-byte name field behind the name (its NUL first);
    // empty means NULs.
    std::string namePadding;
};

class classGAFAnimation {
public:
    classGAFAnimation() = default;
    // An entry built in memory; `tags` holds each frame's frame-table tag
    // (missing tags are 0). Animated is as given.
    classGAFAnimation(std::string name, const GafEntryFields& fields,
                      std::vector<classGAFFrame> frames, std::vector<std::int32_t> tags,
                      bool animated);

    // The name as stored: Windows-1252 bytes, at most 32 of them.
    const std::string& Name() const { return name_; }
    // Frames that loaded, in frame-table order (frame number i is Frames()[i - 1]).
    const std::vector<classGAFFrame>& Frames() const { return frames_; }
    // True when some frame-table entry carries the tag 2.
    bool Animated() const { return animated_; }
    // The frame-table tag of each frame in Frames().
    const std::vector<std::int32_t>& FrameTags() const { return tags_; }
    const GafEntryFields& Fields() const { return fields_; }
    // The frames, for editing a picture in place.
    std::vector<classGAFFrame>& EditFrames() { return frames_; }

    // Reads the 40-byte entry record at `offset`, its frame table and frames.
    // False when the record itself cannot be read.
    bool Load(GafLoadContext& context, std::int64_t offset);

    // Sum of the subframe counts of all frames.
    int SubframeTotal() const;
    // Largest Width (Height) over every frame and subframe, 0 when none.
    int GetMaxWidth() const;
    int GetMaxHeight() const;

    // Writes the pictures of every frame as Name + "_" + NumberPart(i) in
    // `directory`. A name that cannot be a file name writes nothing. Returns
    // how many pictures could not be written.
    std::size_t ExportAllImages(const std::filesystem::path& directory, const Palette& palette,
                                ImageFormat format = ImageFormat::Bmp) const;

private:
    std::string name_;
    std::vector<classGAFFrame> frames_;
    std::vector<std::int32_t> tags_;
    GafEntryFields fields_;
    bool animated_ = false;
};

} // namespace spriteglass
