// The queued tree of an ArchiveWriter and the packing that turns it into a file.
#pragma once

#include "hpiutil/writer.hpp"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace hpiutil {

struct PackNode {
    std::string raw;  // the name as stored (Windows-1252)
    std::string path; // archive path, UTF-8, for progress and errors
    bool directory = false;
    std::filesystem::path source;                           // disk file, when not from memory
    std::shared_ptr<const std::vector<std::uint8_t>> bytes; // memory buffer, when set
    std::vector<std::unique_ptr<PackNode>> children;
    std::unordered_map<std::string, PackNode*> byFoldedName;
};

struct ArchiveWriter::Impl {
    PackNode root;
    std::uint32_t files = 0;
    Impl() { root.directory = true; }
};

// Writes the archive of `root` to `target` (see ArchiveWriter::write).
Status packArchive(const PackNode& root, const std::filesystem::path& target, Method method,
                   const PackProgressFn& progress, unsigned threads);

} // namespace hpiutil
