// State of an open archive, shared by the reader's source files.
#pragma once

#include "hpiutil/archive.hpp"

#include <functional>
#include <span>
#include <vector>

namespace hpiutil {

// Limits that keep a hostile directory from costing unbounded time or memory.
inline constexpr std::uint32_t kMaxDirectoryDepth = 128;
// Names have no length limit, but all the names read add up to at most the
// directory block's size, and all the paths built from them to at most this
// floor plus a multiple of it (a hostile block can make every entry's path
// repeat one long folder name).
inline constexpr std::uint64_t kPathBytesFloor = 16ull << 20;
inline constexpr std::uint64_t kPathBytesPerBlockByte = 8;
inline constexpr std::uint64_t kMaxDirectoryBlock = 512ull << 20;

struct Archive::Impl {
    std::unique_ptr<ByteSource> source;
    ArchiveInfo info;
    std::uint8_t cipher = 0; // rotl8 of the key's low byte; 0 = no cipher
    std::vector<Entry> entries;
    std::vector<std::uint32_t> childList; // every directory's children, each run contiguous
    std::uint32_t rootBegin = 0;
    std::uint32_t rootCount = 0;

    // Reads bytes at an absolute offset with the whole-archive cipher removed.
    Status readPlain(std::uint64_t offset, std::span<std::uint8_t> out) const;

    // Streams a file's bytes to `sink`; departures that do not stop the read
    // go to `notes` when given (verify collects them).
    Status readFile(const Entry& file,
                    const std::function<Status(std::span<const std::uint8_t>)>& sink,
                    std::vector<Problem>* notes, std::uint32_t* chunks) const;

    // Adds the archive's name and the member's path to an error.
    Error locate(Error e, const Entry* member) const;
};

// Parses the deciphered directory block [0, dirEnd) into impl.entries and
// impl.childList.
Status parseDirectory(Archive::Impl& impl, std::span<const std::uint8_t> block);

} // namespace hpiutil
