// A file written through a temporary file beside its target: buffered
// appends, patches of bytes already written, and a commit that flushes,
// optionally syncs, and renames over the target. Dropped uncommitted, the
// temporary file is removed and the target is left as it was.
#pragma once

#include "hpiutil/result.hpp"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace hpiutil {

class AtomicFile {
public:
    // `bufferSize` bytes of appends are gathered before each write.
    static Result<AtomicFile> create(const std::filesystem::path& target,
                                     std::size_t bufferSize = 1u << 20);

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
