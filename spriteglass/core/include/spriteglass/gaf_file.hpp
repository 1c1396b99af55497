// A loaded GAF sprite file: its animations, frames and subframes, whose
// pixels are palette indices.
#pragma once

#include "spriteglass/gaf_animation.hpp"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace spriteglass {

class classGAF {
public:
    // The version the game's own files carry, and the one files are written with.
    static constexpr std::uint32_t StandardVersion = 0x00010100;

    classGAF() = default;
    // A file built in memory.
    explicit classGAF(std::vector<classGAFAnimation> animations,
                      std::uint32_t version = StandardVersion, std::int32_t unknown8 = 0)
        : animations_(std::move(animations)), fileRead_(true), version_(version),
          unknown8_(unknown8) {}

    // Called before each entry with (entry index, entry count - 1).
    using Progress = std::function<void(int value, int max)>;

    // Reads the whole file into Animations. Every failing step is skipped, so
    // the result is always true and a file that cannot be read gives an empty
    // list; FileRead() tells the two apart. The path is never created.
    bool Load(const std::filesystem::path& Filename, const Progress& progress = {});
    // The same rules over bytes already in memory; `pixelLimit` lowers the
    // number of frame pixels one load may make (256 Mi at most).
    bool LoadBytes(std::span<const std::uint8_t> bytes, const Progress& progress = {},
                   std::int64_t pixelLimit = INT64_MAX);

    // The entry names of a file's bytes, in file order, the first of a name
    // only (as LoadBytes keeps them), read without decoding any frame.
    static std::vector<std::string> EntryNames(std::span<const std::uint8_t> bytes);

    // In file order; names are unique without regard to case (the first wins).
    const std::vector<classGAFAnimation>& Animations() const { return animations_; }
    // The animation of that name, compared without regard to case, or null.
    const classGAFAnimation* Find(std::string_view name) const;
    // False when the file could not be opened or was too large to read.
    bool FileRead() const { return fileRead_; }
    // The header's version and its last field, as read (0 when absent).
    std::uint32_t Version() const { return version_; }
    std::int32_t Unknown8() const { return unknown8_; }
    // The animations, for editing a picture in place.
    std::vector<classGAFAnimation>& EditAnimations() { return animations_; }

    // Every entry's pictures (classGAFAnimation::ExportAllImages); returns how
    // many could not be written.
    std::size_t ExportAllImages(const std::filesystem::path& directory, const Palette& palette,
                                ImageFormat format = ImageFormat::Bmp) const;

    // Files larger than this are not read.
    static constexpr std::uint64_t MaxFileSize = 256ull << 20;

private:
    std::vector<classGAFAnimation> animations_;
    bool fileRead_ = false;
    std::uint32_t version_ = 0;
    std::int32_t unknown8_ = 0;
};

} // namespace spriteglass
