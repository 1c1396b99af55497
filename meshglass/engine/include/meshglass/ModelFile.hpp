// The open model file: its bytes in memory, a read position, and the state
// one load of a piece tree shares (the error sink, the pieces on the path
// being read, and a budget on what the load may read).
//
// Every read is checked against the file's size; a failed read moves
// nothing. The reader never trusts a count or an offset from the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace meshglass {

// Deepest piece tree a load reads (the root is at depth 1).
inline constexpr int MaxPieceDepth = 64;
// Largest file the reader opens.
inline constexpr std::uint64_t MaxModelFileSize = 256ull << 20;
// The text every polygon read failure reports.
inline constexpr std::string_view ReadErrorText = "there was an error.";

class ModelFile {
public:
    explicit ModelFile(std::vector<std::uint8_t> bytes);
    // The whole file, or nothing when it cannot be opened, is not a regular
    // file, or is larger than MaxModelFileSize. A missing file is not created.
    static std::optional<ModelFile> open(const std::filesystem::path& path);

    std::uint64_t size() const { return bytes_.size(); }
    std::uint64_t position() const { return position_; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // Moves to an absolute offset; false (and no move) when it lies outside
    // 0..size.
    bool seek(std::int64_t offset);
    // Reads exactly out.size() bytes at the position; false (and no move)
    // when fewer remain.
    bool read(std::span<std::uint8_t> out);
    bool readByte(std::uint8_t& value);
    // The next n bytes without copying them, moving past them; empty (and no
    // move) when fewer remain.
    std::span<const std::uint8_t> take(std::size_t n);
    // Whether count records of recordSize bytes fit in the file at offset.
    bool holds(std::int64_t offset, std::int64_t count, std::int64_t recordSize) const;

    // Reports one polygon read failure: counts it and passes ReadErrorText on.
    void reportError();
    int errorCount() const { return errors_; }
    std::function<void(std::string_view)> onError;

    // Spends bytes of the load's read budget (a few times the file's size, so
    // pieces that share their arrays cannot make a small file read without
    // end); false when the budget is spent.
    bool spend(std::uint64_t bytes);

    // Header offsets of the pieces on the current path: the ancestors of the
    // piece being read and the siblings before it in each chain.
    std::unordered_set<std::int64_t> path;
    // Depth of the piece being read (the root is 1).
    int depth = 0;

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
    std::uint64_t budget_;
    int errors_ = 0;
};

} // namespace meshglass
