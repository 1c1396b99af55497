// The directory block: records, entry arrays and names, checked against the
// block's bounds, with a visited set against cycles, a depth limit and
// budgets for the bytes of names and paths.
#include "archive_impl.hpp"
#include "hpiutil/codepage.hpp"
#include "hpiutil/format.hpp"
#include "hpiutil/paths.hpp"

#include <algorithm>
#include <cstring>
#include <string>
#include <unordered_set>

namespace hpiutil {

namespace {

class DirectoryParser {
public:
    DirectoryParser(Archive::Impl& impl, std::span<const std::uint8_t> block)
        : impl_(impl), block_(block), end_(block.size()),
          entryBudget_((block.size() - kHeaderSize) / kEntrySize),
          nameBudget_(block.size() - kHeaderSize),
          pathBudget_(kPathBytesFloor + kPathBytesPerBlockByte * block.size()) {}

    // `unsafeAbove` is why the folder being parsed (or one above it) cannot
    // be extracted; its entries inherit it.
    Status parse(std::uint32_t recordOffset, std::int32_t parent, const std::string& prefix,
                 const std::string& unsafeAbove, std::uint32_t depth, std::uint32_t& begin,
                 std::uint32_t& count) {
        if (depth > kMaxDirectoryDepth) {
            return fail("directories nest deeper than " + std::to_string(kMaxDirectoryDepth),
                        recordOffset);
        }
        if (!inside(recordOffset, kDirRecordSize)) {
            return fail("directory record lies outside the directory block", recordOffset);
        }
        if (!visited_.insert(recordOffset).second) {
            return fail("directory record is reached twice (the tree has a cycle)", recordOffset);
        }
        const std::uint8_t* rec = block_.data() + recordOffset;
        const auto signedCount = static_cast<std::int32_t>(loadU32(rec));
        const std::uint32_t arrayOffset = loadU32(rec + 4);
        // The game loops while index < count as a signed number: <= 0 is empty.
        const std::uint32_t n = signedCount > 0 ? std::uint32_t(signedCount) : 0;
        if (n > 0 && !inside(arrayOffset, std::uint64_t(n) * kEntrySize)) {
            return fail("entry array of " + std::to_string(n) +
                            " entries lies outside the directory block",
                        recordOffset);
        }
        if (n > entryBudget_) {
            return fail("more entries than the directory block can hold", recordOffset);
        }
        entryBudget_ -= n;

        std::vector<std::uint32_t> mine;
        mine.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint64_t at = std::uint64_t(arrayOffset) + std::uint64_t(i) * kEntrySize;
            const std::uint8_t* e = block_.data() + at;
            const std::uint32_t nameOffset = loadU32(e);
            const std::uint32_t dataOffset = loadU32(e + 4);
            const std::uint8_t flags = e[8];

            std::string raw;
            if (auto st = readName(nameOffset, raw); !st) {
                return st;
            }
            Entry entry;
            entry.name = cp1252ToUtf8(raw);
            entry.rawName = std::move(raw);
            // Joined by position, not by the prefix's emptiness: the members
            // of a folder with an empty name must not take their parent's
            // paths.
            if (parent < 0) {
                entry.path = entry.name;
            } else {
                entry.path.reserve(prefix.size() + 1 + entry.name.size());
                entry.path.append(prefix).append(1, '\\').append(entry.name);
            }
            if (entry.path.size() > pathBudget_) {
                return fail("the paths of the entries add up to more than the directory block "
                            "can describe",
                            nameOffset);
            }
            pathBudget_ -= entry.path.size();
            if (!unsafeAbove.empty()) {
                entry.unsafe = unsafeAbove;
            } else {
                entry.unsafe = unsafeNameReason(entry.name);
            }
            entry.directory = (flags & 1) != 0;
            entry.recordOffset = dataOffset;
            entry.parent = parent;
            entry.depth = depth;
            if (!entry.directory) {
                if (!inside(dataOffset, kFileRecordSize)) {
                    return fail("file record lies outside the directory block", at);
                }
                const std::uint8_t* fr = block_.data() + dataOffset;
                entry.dataOffset = loadU32(fr);
                entry.size = loadU32(fr + 4);
                entry.method = fr[8];
            }
            const auto index = static_cast<std::uint32_t>(impl_.entries.size());
            impl_.entries.push_back(std::move(entry));
            mine.push_back(index);
            if (impl_.entries[index].directory) {
                const Entry& dir = impl_.entries[index];
                const std::string path = dir.path;
                std::string below = unsafeAbove;
                if (below.empty() && !dir.unsafe.empty()) {
                    below = "it lies in the folder \"" + path + "\": " + dir.unsafe;
                }
                std::uint32_t b = 0, c = 0;
                if (auto st = parse(dataOffset, std::int32_t(index), path, below, depth + 1, b, c);
                    !st) {
                    return st;
                }
                impl_.entries[index].childBegin = b;
                impl_.entries[index].childCount = c;
            }
        }
        begin = static_cast<std::uint32_t>(impl_.childList.size());
        count = n;
        impl_.childList.insert(impl_.childList.end(), mine.begin(), mine.end());
        return {};
    }

private:
    bool inside(std::uint64_t offset, std::uint64_t length) const {
        return offset >= kHeaderSize && offset <= end_ && length <= end_ - offset;
    }

    Status readName(std::uint32_t offset, std::string& out) {
        if (!inside(offset, 1)) {
            return fail("name lies outside the directory block", offset);
        }
        // Only as far as the names still allowed, so that many entries
        // sharing one long name cost no more than the block itself.
        const std::size_t avail = std::min<std::uint64_t>(end_ - offset, nameBudget_ + 1);
        const auto* start = block_.data() + offset;
        const void* nul = std::memchr(start, 0, avail);
        if (!nul) {
            return fail(avail == end_ - offset
                            ? "name is not terminated within the directory block"
                            : "the names of the entries add up to more than the directory block",
                        offset);
        }
        const auto length = std::size_t(static_cast<const std::uint8_t*>(nul) - start);
        nameBudget_ -= length;
        out.assign(reinterpret_cast<const char*>(start), length);
        return {};
    }

    Archive::Impl& impl_;
    std::span<const std::uint8_t> block_;
    std::uint64_t end_;
    std::uint64_t entryBudget_;
    std::uint64_t nameBudget_;
    std::uint64_t pathBudget_;
    std::unordered_set<std::uint32_t> visited_;
};

} // namespace

Status parseDirectory(Archive::Impl& impl, std::span<const std::uint8_t> block) {
    // Room for as many entries as the block could hold (up to a bound), so
    // the list is never moved while it grows: moving tens of thousands of
    // entries, and touching fresh memory for each copy, cost more than the
    // parse. Room that is not used is never touched.
    constexpr std::size_t kReservedEntries = std::size_t(1) << 20;
    const std::size_t most =
        block.size() > kHeaderSize ? (block.size() - kHeaderSize) / kEntrySize : 0;
    impl.entries.reserve(std::min(most, kReservedEntries));
    impl.childList.reserve(std::min(most, kReservedEntries));
    DirectoryParser parser(impl, block);
    return parser.parse(impl.info.dirStart, -1, "", "", 0, impl.rootBegin, impl.rootCount);
}

} // namespace hpiutil
