// Where archive bytes come from: a disk file read with pread (safe to share
// between threads) or a buffer in memory (tests and fuzzers).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "hpiutil/result.hpp"

namespace hpiutil {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads exactly out.size() bytes at `offset`; fails on a short read.
    virtual Status readAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;
    // Name used in error messages.
    virtual const std::string& name() const = 0;

    static Result<std::unique_ptr<ByteSource>> openFile(const std::filesystem::path& path);
    static std::unique_ptr<ByteSource> fromMemory(std::vector<std::uint8_t> bytes,
                                                  std::string name = "<memory>");
};

} // namespace hpiutil
