// Shared state of one GAF load: the file's bytes with checked reads, and the
// limits that keep a hostile file from recursing, looping or allocating
// without bound.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace spriteglass {

class GafLoadContext {
public:
    // `pixelLimit` lowers the pixel budget below MaxTotalPixels (the fuzz
    // targets keep each input's work small with it).
    explicit GafLoadContext(std::span<const std::uint8_t> bytes,
                            std::int64_t pixelLimit = MaxTotalPixels)
        : framePixelsLeft(std::min<std::int64_t>(std::min(pixelLimit, MaxTotalPixels),
                                                 4ll * 1024 * 1024 + 256 * size(bytes))),
          frameRecordsLeft(std::min<std::int64_t>(MaxFrameRecords, 4096 + size(bytes) / 4)),
          tableRowsLeft(std::min<std::int64_t>(MaxTableRows, 65536 + size(bytes))), bytes_(bytes) {}

    // Limits of one load. The pixels, frame records and frame-table rows a
    // file may ask for grow with its size: a real file pays at least a few
    // bytes for every 256 pixels, every frame and every table row (8 bytes)
    // it holds, and a hostile one cannot make the loader allocate or work far
    // beyond that by pointing many entries at one table.
    static constexpr int MaxSubframeDepth = 16;
    static constexpr std::int64_t MaxFramePixels = 16 * 1024 * 1024;
    static constexpr std::int64_t MaxTotalPixels = 256ll * 1024 * 1024;
    static constexpr std::int64_t MaxFrameRecords = 1 << 20;
    static constexpr std::int64_t MaxTableRows = 16 << 20;

    std::int64_t size() const { return size(bytes_); }
    bool has(std::int64_t offset, std::int64_t length) const {
        return offset >= 0 && length >= 0 && offset <= size() && length <= size() - offset;
    }
    const std::uint8_t* at(std::int64_t offset) const { return bytes_.data() + offset; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    template <typename T> std::optional<T> read(std::int64_t offset) const {
        if (!has(offset, sizeof(T))) {
            return std::nullopt;
        }
        T value;
        std::memcpy(&value, at(offset), sizeof(T)); // the file and the host are little-endian
        return value;
    }

    // Frame records on the current subframe path, for cycle detection.
    std::vector<std::int64_t> path;
    std::int64_t framePixelsLeft;
    std::int64_t frameRecordsLeft;
    std::int64_t tableRowsLeft;

private:
    static std::int64_t size(std::span<const std::uint8_t> bytes) {
        return std::int64_t(bytes.size());
    }
    std::span<const std::uint8_t> bytes_;
};

} // namespace spriteglass
