// Writes small GAF sprite files for tests: entries with frames, subframes,
// raw or run-length pixel data, laid out as the game's files are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct GafFrameSpec {
    std::int16_t width = 0;
    std::int16_t height = 0;
    std::int16_t x = 0; // hotspot
    std::int16_t y = 0;
    std::uint8_t compression = 0;
    std::uint8_t byte11 = 0; // the unused byte behind the subframe count
    std::int32_t fps = 0;
    // Raw pixels (compression 0) or coded rows (compression 1, see codedRows).
    std::vector<std::uint8_t> data;
    std::vector<GafFrameSpec> subframes;
    // Frame-table fields of a frame of an entry (not used for subframes).
    std::int32_t tag = 1;
    std::optional<std::int32_t> tableOffset; // written instead of the frame's real offset
};

struct GafEntrySpec {
    std::string name; // up to 32 bytes; shorter names are NUL-padded
    std::vector<GafFrameSpec> frames;
};

std::vector<std::uint8_t> makeGaf(const std::vector<GafEntrySpec>& entries,
                                  std::uint32_t version = 0x00010100);

// A raw frame of the given size; pixels default to index 0.
GafFrameSpec rawFrame(std::int16_t width, std::int16_t height,
                      std::vector<std::uint8_t> pixels = {}, std::int16_t x = 0,
                      std::int16_t y = 0);

// Compression-1 row data: each row's code bytes behind its int16 count.
std::vector<std::uint8_t> codedRows(const std::vector<std::vector<std::uint8_t>>& rows);

} // namespace testsupport
