// Reading a v1 archive: open, walk or list the directory tree, look members
// up, read or extract them, verify every chunk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hpiutil/result.hpp"
#include "hpiutil/source.hpp"

namespace hpiutil {

// One entry of the directory tree.
struct Entry {
    std::string name;    // one component, UTF-8
    std::string path;    // from the root, '\'-joined, no leading '\', UTF-8
    std::string rawName; // the name's bytes as stored (Windows-1252)
    bool directory = false;
    std::uint32_t size = 0;       // uncompressed size of a file
    std::uint8_t method = 0;      // file record's method byte: 0 stored, else chunked
    std::uint32_t dataOffset = 0; // payload offset of a file
    std::uint32_t recordOffset = 0;
    std::int32_t parent = -1;     // index of the containing directory; -1 = the root
    std::uint32_t childBegin = 0; // directories: their children in Archive::children()
    std::uint32_t childCount = 0;
    std::uint32_t depth = 0; // 0 for entries of the root
    // Why the entry cannot be extracted, or empty when it can: its own name,
    // or a folder above it, is one no disk path can hold safely.
    std::string unsafe;
};

struct ArchiveInfo {
    std::uint64_t fileSize = 0;
    std::uint32_t version = 0;
    std::uint32_t headerKey = 0;
    std::uint32_t dirStart = 0;
    std::uint32_t dirEnd = 0;
    bool trailer = false; // the 36-byte trailer ends the file
};

// A problem verify() found. Errors make a member unreadable (or the game
// refuse it); warnings are departures other readers or the game tolerate.
struct Problem {
    enum class Severity { Warning, Error };
    Severity severity = Severity::Error;
    std::string member; // empty for archive-wide problems
    std::int64_t offset = -1;
    std::string what;
};

struct VerifyReport {
    std::uint32_t filesChecked = 0;
    std::uint32_t chunksChecked = 0;
    std::uint64_t bytesChecked = 0;
    std::vector<Problem> problems;
    bool clean() const; // no problem at all
    std::size_t errorCount() const;
};

// Progress of a tree extraction: members done so far, total, and the member
// being written.
using ExtractProgress =
    std::function<void(std::uint32_t done, std::uint32_t total, std::string_view member)>;

struct ExtractSummary {
    std::uint32_t filesWritten = 0;
    std::uint32_t directoriesMade = 0;
    std::uint64_t bytesWritten = 0;
    std::vector<Error> failures; // members that were not written, with the reason
};

class Archive {
public:
    static Result<Archive> open(const std::filesystem::path& path);
    static Result<Archive> fromMemory(std::vector<std::uint8_t> bytes,
                                      std::string name = "<memory>");
    static Result<Archive> fromSource(std::unique_ptr<ByteSource> source);

    Archive(Archive&&) noexcept;
    Archive& operator=(Archive&&) noexcept;
    ~Archive();

    const ArchiveInfo& info() const;
    const std::string& name() const;

    // Every entry, depth first in directory order: a directory comes before
    // its contents.
    const std::vector<Entry>& entries() const;
    // Indices of a directory's children (`dir` = -1 for the root).
    std::span<const std::uint32_t> children(std::int32_t dir) const;

    // Looks a path up: '\'-separated, without regard to case, first match
    // wins; an empty path is the root (-1). Empty optional when not found.
    std::optional<std::int32_t> find(std::string_view path) const;
    // The children of the directory at `path` (empty = root); fails when
    // `path` is not a directory.
    Result<std::span<const std::uint32_t>> list(std::string_view path) const;

    // Streams a file's bytes, chunk by chunk, to `sink`. A sink that fails
    // stops the read with its error.
    Status read(const Entry& file,
                const std::function<Status(std::span<const std::uint8_t>)>& sink) const;
    Result<std::vector<std::uint8_t>> readAll(const Entry& file) const;

    // Writes a file to `destination` through a temporary file beside it, so a
    // failed extraction leaves nothing half-written.
    Status extractTo(const Entry& file, const std::filesystem::path& destination) const;

    // Extracts the given entries (files, or directories with everything under
    // them; all entries when `roots` is empty) below `destDir`, each at its
    // member path made safe by safeRelativePath(). Members that cannot be
    // written are listed in the summary; the others are written.
    ExtractSummary extractTree(const std::filesystem::path& destDir,
                               std::span<const std::int32_t> roots = {},
                               const ExtractProgress& progress = {}, unsigned threads = 0) const;

    // Reads and checks every chunk of every file, and the archive structure.
    // Files are read on `threads` threads (0: one per core); the problems
    // come in archive order whatever the number.
    VerifyReport verify(unsigned threads = 0) const;

    // The library's own state of an open archive.
    struct Impl;

private:
    explicit Archive(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace hpiutil
