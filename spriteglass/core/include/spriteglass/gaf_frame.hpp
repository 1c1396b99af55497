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

class classGAFFrame {
public:
    int Width() const { return width_; }
    int Height() const { return height_; }
    // The hotspot, in pixels from the frame's own top-left corner.
    int PositionX() const { return positionX_; }
    int PositionY() const { return positionY_; }
    bool Compressed() const { return compressed_; }
    int FPS() const { return fps_; }
    const std::vector<classGAFFrame>& Subframes() const { return subframes_; }
    // Width x Height palette indices, top row first, no padding. A frame with
    // subframes keeps a buffer that is MaskIndex throughout.
    const std::vector<std::uint8_t>& Pixels() const { return pixels_; }

    // Empties the subframes and shrinks the pixels to one byte.
    void Initialize();

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
    // stem + "_" + NumberPart(j). Write failures are silent.
    void ExportAllImages(const std::filesystem::path& directory, const std::string& stem,
                         const Palette& palette, ImageFormat format = ImageFormat::Bmp) const;

private:
    int width_ = 0;
    int height_ = 0;
    int positionX_ = 0;
    int positionY_ = 0;
    bool compressed_ = false;
    int fps_ = 0;
    std::vector<classGAFFrame> subframes_;
    std::vector<std::uint8_t> pixels_ = std::vector<std::uint8_t>(1, 0);
};

// A frame or subframe number in export names: at least two digits.
std::string NumberPart(int number);

} // namespace spriteglass
