#include "pack_layout.hpp"
#include "hpiutil/codepage.hpp"
#include "hpiutil/format.hpp"

#include <algorithm>

namespace hpiutil {

namespace {

std::vector<const PackNode*> sortedChildren(const PackNode& dir) {
    std::vector<const PackNode*> kids;
    kids.reserve(dir.children.size());
    for (const auto& c : dir.children) {
        kids.push_back(c.get());
    }
    std::sort(kids.begin(), kids.end(),
              [](const PackNode* a, const PackNode* b) { return lessFolded(a->raw, b->raw); });
    return kids;
}

std::uint64_t blockSize(const PackNode& dir) {
    std::uint64_t size = kDirRecordSize + kEntrySize * dir.children.size();
    for (const auto& c : dir.children) {
        size += c->raw.size() + 1;
        size += c->directory ? blockSize(*c) : kFileRecordSize;
    }
    return size;
}

class Serializer {
public:
    explicit Serializer(Layout& out) : out_(out) {}

    // Writes the block of `dir` at absolute offset `at` and returns the offset after it.
    std::uint32_t directory(const PackNode& dir, std::uint32_t at) {
        const auto kids = sortedChildren(dir);
        const std::uint32_t arrayAt = at + kDirRecordSize;
        put32(at, static_cast<std::uint32_t>(kids.size()));
        put32(at + 4, arrayAt);
        std::uint32_t cursor = arrayAt + static_cast<std::uint32_t>(kEntrySize * kids.size());
        for (std::size_t i = 0; i < kids.size(); ++i) {
            const PackNode& c = *kids[i];
            const std::uint32_t entryAt = arrayAt + static_cast<std::uint32_t>(kEntrySize * i);
            const std::uint32_t nameAt = cursor;
            std::copy(c.raw.begin(), c.raw.end(), byteAt(nameAt));
            *byteAt(nameAt + static_cast<std::uint32_t>(c.raw.size())) = 0;
            cursor += static_cast<std::uint32_t>(c.raw.size() + 1);
            put32(entryAt, nameAt);
            put32(entryAt + 4, cursor);
            *byteAt(entryAt + 8) = c.directory ? 1 : 0;
            if (c.directory) {
                cursor = directory(c, cursor);
            } else {
                out_.files.push_back({&c, cursor});
                cursor += kFileRecordSize;
            }
        }
        return cursor;
    }

private:
    std::uint8_t* byteAt(std::uint32_t absolute) {
        return out_.block.data() + (absolute - kHeaderSize);
    }
    void put32(std::uint32_t absolute, std::uint32_t v) { storeU32(byteAt(absolute), v); }

    Layout& out_;
};

} // namespace

Result<Layout> layOut(const PackNode& root) {
    const std::uint64_t size = blockSize(root);
    if (kHeaderSize + size > 0x7FFFFFFFull) {
        return fail("the directory of the archive would exceed 2 GiB");
    }
    Layout layout;
    layout.block.assign(size, 0);
    layout.dirEnd = static_cast<std::uint32_t>(kHeaderSize + size);
    Serializer(layout).directory(root, kRootOffset);
    return layout;
}

void setFileRecord(Layout& layout, const LayoutFile& f, std::uint32_t payloadOffset,
                   std::uint32_t size, std::uint8_t method) {
    std::uint8_t* rec = layout.block.data() + (f.recordAt - kHeaderSize);
    storeU32(rec, payloadOffset);
    storeU32(rec + 4, size);
    rec[8] = method;
}

} // namespace hpiutil
