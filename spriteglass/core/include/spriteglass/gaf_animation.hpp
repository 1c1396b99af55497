// One entry of a GAF file: a named sequence of frames.
#pragma once

#include "spriteglass/gaf_frame.hpp"

#include <string>
#include <vector>

namespace spriteglass {

class classGAFAnimation {
public:
    // The name as stored: Windows-1252 bytes, at most 32 of them.
    const std::string& Name() const { return name_; }
    // Frames that loaded, in frame-table order (frame number i is Frames()[i - 1]).
    const std::vector<classGAFFrame>& Frames() const { return frames_; }
    // True when some frame-table entry carries the tag 2.
    bool Animated() const { return animated_; }

    // Reads the 40-byte entry record at `offset`, its frame table and frames.
    // False when the record itself cannot be read.
    bool Load(GafLoadContext& context, std::int64_t offset);

    // Sum of the subframe counts of all frames.
    int SubframeTotal() const;
    // Largest Width (Height) over every frame and subframe, 0 when none.
    int GetMaxWidth() const;
    int GetMaxHeight() const;

    // Writes the pictures of every frame as Name + "_" + NumberPart(i) in
    // `directory`. A name that cannot be a file name writes nothing.
    void ExportAllImages(const std::filesystem::path& directory, const Palette& palette,
                         ImageFormat format = ImageFormat::Bmp) const;

private:
    std::string name_;
    std::vector<classGAFFrame> frames_;
    bool animated_ = false;
};

} // namespace spriteglass
