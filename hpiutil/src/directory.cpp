// The directory block: records, entry arrays and names, checked against the
// block's bounds, with a visited set against cycles and a depth limit.
#include "archive_impl.hpp"
#include "hpiutil/codepage.hpp"
#include "hpiutil/format.hpp"

#include <cstring>
#include <string>
#include <unordered_set>

namespace hpiutil {

namespace {

class DirectoryParser {
public:
    DirectoryParser(Archive::Impl& impl, std::span<const std::uint8_t> block)
        : impl_(impl), block_(block), end_(block.size()),
          entryBudget_((block.size() - kHeaderSize) / kEntrySize) {}

    Status parse(std::uint32_t recordOffset, std::int32_t parent, const std::string& prefix,
                 const std::string& rawPrefix, std::uint32_t depth, std::uint32_t& begin,
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
            entry.rawName = raw;
            entry.name = cp1252ToUtf8(raw);
            entry.path = prefix.empty() ? entry.name : prefix + "\\" + entry.name;
            if (rawPrefix.size() + raw.size() + 1 > kMaxPathBytes) {
                return fail("path longer than " + std::to_string(kMaxPathBytes) + " bytes",
                            nameOffset);
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
                const std::string path = impl_.entries[index].path;
                std::uint32_t b = 0, c = 0;
                if (auto st = parse(dataOffset, std::int32_t(index), path, rawPrefix + raw + "\\",
                                    depth + 1, b, c);
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

    Status readName(std::uint32_t offset, std::string& out) const {
        if (!inside(offset, 1)) {
            return fail("name lies outside the directory block", offset);
        }
        const std::size_t avail = std::min<std::size_t>(end_ - offset, kMaxNameBytes + 1);
        const auto* start = block_.data() + offset;
        const void* nul = std::memchr(start, 0, avail);
        if (!nul) {
            return fail("name is not terminated within " + std::to_string(kMaxNameBytes) +
                            " bytes of the directory block",
                        offset);
        }
        out.assign(reinterpret_cast<const char*>(start),
                   static_cast<const std::uint8_t*>(nul) - start);
        return {};
    }

    Archive::Impl& impl_;
    std::span<const std::uint8_t> block_;
    std::uint64_t end_;
    std::uint64_t entryBudget_;
    std::unordered_set<std::uint32_t> visited_;
};

} // namespace

Status parseDirectory(Archive::Impl& impl, std::span<const std::uint8_t> block) {
    DirectoryParser parser(impl, block);
    return parser.parse(impl.info.dirStart, -1, "", "", 0, impl.rootBegin, impl.rootCount);
}

} // namespace hpiutil
