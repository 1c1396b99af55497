#include "unitcheck/cob_names.hpp"

#include <cstring>

namespace unitcheck {

namespace {

constexpr std::size_t HeaderWords = 9;

std::uint32_t word(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return std::uint32_t(bytes[offset]) | std::uint32_t(bytes[offset + 1]) << 8 |
           std::uint32_t(bytes[offset + 2]) << 16 | std::uint32_t(bytes[offset + 3]) << 24;
}

// The names of one array of name offsets: `count` words at `table`.
hpiutil::Result<std::vector<std::string>> readNames(std::span<const std::uint8_t> bytes,
                                                    std::uint32_t count, std::uint32_t table,
                                                    const char* what) {
    if (count > MaxCobNames) {
        return hpiutil::fail(std::string("too many ") + what + " (" + std::to_string(count) + ")");
    }
    if (count == 0) {
        return std::vector<std::string>{};
    }
    if (table > bytes.size() || std::uint64_t(count) * 4 > bytes.size() - table) {
        return hpiutil::fail(std::string("the ") + what + " name table lies outside the file",
                             std::int64_t(table));
    }
    std::vector<std::string> names;
    names.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint32_t at = word(bytes, table + std::size_t(i) * 4);
        if (at >= bytes.size()) {
            return hpiutil::fail(std::string("a ") + what + " name lies outside the file",
                                 std::int64_t(table + std::size_t(i) * 4));
        }
        const std::size_t room = std::min(bytes.size() - at, MaxCobNameLength + 1);
        const auto* start = reinterpret_cast<const char*>(bytes.data() + at);
        const std::size_t length = strnlen(start, room);
        if (length == room) {
            return hpiutil::fail(std::string("a ") + what + " name has no end", std::int64_t(at));
        }
        names.emplace_back(start, length);
    }
    return names;
}

} // namespace

hpiutil::Result<CobNames> readCobNames(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < HeaderWords * 4) {
        return hpiutil::fail("too short for a script header");
    }
    CobNames names;
    names.version = word(bytes, 0);
    auto scripts = readNames(bytes, word(bytes, 4), word(bytes, 28), "script");
    if (!scripts) {
        return std::move(scripts).error();
    }
    auto pieces = readNames(bytes, word(bytes, 8), word(bytes, 32), "piece");
    if (!pieces) {
        return std::move(pieces).error();
    }
    names.scripts = std::move(*scripts);
    names.pieces = std::move(*pieces);
    return names;
}

} // namespace unitcheck
