// The directory block of an archive being written, in the canonical layout:
// each record followed by its entry array, then for each entry its name and
// either the subdirectory's block or the file's record. Directories are
// sorted without regard to case.
#pragma once

#include "writer_impl.hpp"

#include <cstdint>
#include <vector>

namespace hpiutil {

struct LayoutFile {
    const PackNode* node;
    std::uint32_t recordAt; // absolute offset of its 9-byte file record
};

struct Layout {
    std::vector<std::uint8_t> block; // bytes [20, dirEnd)
    std::uint32_t dirEnd = 0;
    std::vector<LayoutFile> files; // in directory order: the payload order
};

Result<Layout> layOut(const PackNode& root);

// Fills in a file record in the block.
void setFileRecord(Layout& layout, const LayoutFile& f, std::uint32_t payloadOffset,
                   std::uint32_t size, std::uint8_t method);

} // namespace hpiutil
