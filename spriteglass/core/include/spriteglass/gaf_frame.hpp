// One frame of a GAF file; the same class serves for subframes.
#pragma once

#include "spriteglass/palette.hpp"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace spriteglass {

class GafLoadContext;
class IndexedSurface;

enum class ImageFormat { Bmp, Png };

// The 24-byte frame record as stored, fields the viewer does not use included,
// so a written file keeps what was read.
struct GafFrameFields {
    int Width = 0;
    int Height = 0;
    int PositionX = 0;
    int PositionY = 0;
    std::uint8_t unknown8 = MaskIndex; // the game's own files hold 9 here
    // 0: raw pixels; 1: run-length rows; any other value: no pixel data.
    std::uint8_t compression = 0;
    std::uint8_t unknown11 = 0;
    std::int32_t unknown12 = 0;
    std::int32_t FPS = 0;
};

class classGAFFrame {
public:
    classGAFFrame() = default;
    // A frame built in memory: `pixels` must hold Width x Height indices
    // (a frame with subframes gets MaskIndex throughout instead).
    classGAFFrame(const GafFrameFields& fields, std::vector<std::uint8_t> pixels,
                  std::vector<classGAFFrame> subframes = {});

    int Width() const { return fields_.Width; }
    int Height() const { return fields_.Height; }
    // The hotspot, in pixels from the frame's own top-left corner.
    int PositionX() const { return fields_.PositionX; }
    int PositionY() const { return fields_.PositionY; }
    bool Compressed() const { return fields_.compression != 0; }
    int FPS() const { return fields_.FPS; }
    const GafFrameFields& Fields() const { return fields_; }
    const std::vector<classGAFFrame>& Subframes() const { return subframes_; }
    // Width x Height palette indices, top row first, no padding. A frame with
    // subframes keeps a buffer that is MaskIndex throughout.
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

    // Empties the subframes and shrinks the pixels to one byte.
    void Initialize();

    // Gives a frame without subframes a new picture of Width x Height indices
    // (its hotspot and other fields stay). False, changing nothing, when the
    // frame has subframes or the sizes do not match the pixels.
    bool ReplacePicture(int Width, int Height, std::vector<std::uint8_t> pixels);
    // The subframes, for editing a picture in place.
    std::vector<classGAFFrame>& EditSubframes() { return subframes_; }
    // Where the frame is stored: 0 raw, 1 run-length rows.
    void SetCompression(std::uint8_t compression) { fields_.compression = compression; }

    // Reads the 24-byte frame record at `offset` with its subframes or pixels.
    // False means the frame is to be left out.
    bool Load(GafLoadContext& context, std::int64_t offset);

    // Composes the frame onto the surface with its hotspot on (x, y): a frame
    // with subframes draws each of them in order at the same point, MaskIndex
    // being transparent.
    void DrawImage(IndexedSurface& surface, int x, int y) const;

    // Writes the frame's own picture as a BMP file; a frame with subframes
    // writes nothing. False when nothing was written.
    bool ExportFrame(const std::filesystem::path& filename, const Palette& palette) const;

    // Writes every picture below this frame: the frame's own as stem + ".bmp"
    // in `directory`, or, when it has subframes, subframe j's under
    // stem + "_" + NumberPart(j). Returns how many pictures could not be
    // written (a name the file system refuses is skipped, not counted).
    std::size_t ExportAllImages(const std::filesystem::path& directory, const std::string& stem,
                                const Palette& palette,
                                ImageFormat format = ImageFormat::Bmp) const;

private:
    GafFrameFields fields_;
    std::vector<classGAFFrame> subframes_;
    std::vector<std::uint8_t> pixels_ = std::vector<std::uint8_t>(1, 0);
};

// A frame or subframe number in export names: at least two digits.
std::string NumberPart(int number);

} // namespace spriteglass
