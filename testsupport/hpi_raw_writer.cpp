#include "testsupport/hpi_raw_writer.hpp"

#include <cstring>

namespace testsupport {

namespace {

void putU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
    }
}

struct Layout {
    std::vector<std::uint8_t> bytes;
    std::vector<std::pair<std::size_t, const RawHpiNode*>> files; // file record, node

    std::size_t grow(std::size_t n) {
        const std::size_t at = bytes.size();
        bytes.resize(at + n, 0);
        return at;
    }

    // Directory record, entry array, then each name followed by its
    // directory block or file record.
    void directory(const std::vector<RawHpiNode>& entries) {
        const std::size_t record = grow(8);
        const std::size_t array = grow(9 * entries.size());
        putU32(bytes, record, std::uint32_t(entries.size()));
        putU32(bytes, record + 4, std::uint32_t(array));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const RawHpiNode& node = entries[i];
            const std::size_t entry = array + 9 * i;
            const std::size_t name = grow(node.name.size() + 1);
            std::memcpy(bytes.data() + name, node.name.data(), node.name.size());
            putU32(bytes, entry, std::uint32_t(name));
            putU32(bytes, entry + 4, std::uint32_t(bytes.size()));
            bytes[entry + 8] = node.directory ? 1 : 0;
            if (node.directory) {
                directory(node.children);
            } else {
                const std::size_t fileRecord = grow(9);
                putU32(bytes, fileRecord + 4, std::uint32_t(node.data.size()));
                files.emplace_back(fileRecord, &node);
            }
        }
    }
};

} // namespace

RawHpiNode rawFile(std::string name, std::string_view text) {
    RawHpiNode n;
    n.name = std::move(name);
    n.data.assign(text.begin(), text.end());
    return n;
}

RawHpiNode rawDir(std::string name, std::vector<RawHpiNode> children) {
    RawHpiNode n;
    n.name = std::move(name);
    n.directory = true;
    n.children = std::move(children);
    return n;
}

std::vector<std::uint8_t> makeRawHpi(const std::vector<RawHpiNode>& root) {
    Layout l;
    l.grow(20);
    std::memcpy(l.bytes.data(), "HAPI", 4);
    putU32(l.bytes, 4, 0x00010000);
    putU32(l.bytes, 16, 20);
    l.directory(root);
    putU32(l.bytes, 8, std::uint32_t(l.bytes.size()));
    for (const auto& [record, node] : l.files) {
        putU32(l.bytes, record, std::uint32_t(l.bytes.size()));
        l.bytes.insert(l.bytes.end(), node->data.begin(), node->data.end());
    }
    const char trailer[] = "Copyright 1997 Cavedog Entertainment";
    l.bytes.insert(l.bytes.end(), trailer, trailer + 36);
    return l.bytes;
}

} // namespace testsupport
