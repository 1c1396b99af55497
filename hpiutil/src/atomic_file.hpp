// A file written through a temporary file beside its target: buffered
// appends, patches of bytes already written, and a commit that flushes,
// optionally syncs, and renames over the target. Dropped uncommitted, the
// temporary file is removed and the target is left as it was. The temporary
// file's name records the writing process (see temporary_files.hpp), and
// creating one removes the leftovers of writers that are gone. Both kinds
// of file are recorded while unfinished, so a stopping signal removes them
// (see interrupt.hpp).
#pragma once

#include "hpiutil/result.hpp"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace hpiutil {

class AtomicFile {
public:
    // What a target that is a symbolic link means: the link itself (so an
    // extraction replaces a link planted in its destination and never
    // writes through it), or the file it points to (an archive reached
    // through a link is rewritten where it is, with the link kept).
    enum class Link { Replace, Follow };

    // `bufferSize` bytes of appends are gathered before each write.
    static Result<AtomicFile> create(const std::filesystem::path& target,
                                     std::size_t bufferSize = 1u << 20, Link link = Link::Replace);

    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&&) = delete;
    ~AtomicFile();

    Status write(std::span<const std::uint8_t> bytes);
    Status writeZeros(std::uint64_t count);
    // Overwrites bytes already written at `offset`.
    Status patch(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    std::uint64_t position() const { return flushed_ + buffer_.size(); }

    // Flushes, syncs to disk when `sync`, and renames over the target.
    Status commit(bool sync);

    const std::filesystem::path& temporaryPath() const { return temp_; }

private:
    AtomicFile(int fd, std::filesystem::path target, std::filesystem::path temp,
               std::size_t bufferSize);
    Status flush();
    Error ioError(const char* doing) const;
    void discard();

    int fd_ = -1;
    std::filesystem::path target_;
    std::filesystem::path temp_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t flushed_ = 0;
    std::size_t bufferSize_ = 0;
};

// A new file written in place: unbuffered appends; dropped unfinished, the
// file is removed.
class DirectFile {
public:
    // Fails when the file exists already.
    static Result<DirectFile> create(const std::filesystem::path& path);
    DirectFile(DirectFile&& other) noexcept;
    DirectFile& operator=(DirectFile&&) = delete;
    ~DirectFile();

    Status write(std::span<const std::uint8_t> bytes);
    Status finish();

private:
    DirectFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::filesystem::path path_;
    std::uint64_t written_ = 0;
};

} // namespace hpiutil
