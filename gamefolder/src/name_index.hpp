// The merged tree's lookup: (parent node, folded name) -> node, in one open-
// addressing table whose keys live in one byte arena, so a mount of a
// hundred thousand members makes no allocation per name. A slot holds the
// key's hash and parent, so a probe reads the arena only for a likely match.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gamefolder {

class NameIndex {
public:
    static constexpr std::int32_t kAbsent = -3;

    // Folds a name's Windows-1252 bytes (upper case, as the game compares
    // them) into `out`.
    static void fold(std::string_view raw, std::string& out);

    // Room for `keys` keys without growing.
    void reserve(std::size_t keys);
    // The node of `folded` under `parent`, or kAbsent.
    std::int32_t find(std::int32_t parent, std::string_view folded) const;
    // The node of `folded` under `parent`; when absent, `candidate` is
    // added as its node and returned.
    std::uint32_t findOrAdd(std::int32_t parent, std::string_view folded, std::uint32_t candidate);

private:
    struct Slot {
        std::uint32_t node = 0; // node + 1; 0 = free
        std::uint32_t hash = 0;
        std::int32_t parent = 0;
        std::uint32_t keyOffset = 0; // the folded name in the arena
        std::uint32_t keyLength = 0;
    };
    static std::uint32_t hash(std::int32_t parent, std::string_view folded);
    std::string_view keyOf(const Slot& slot) const;
    void rehash(std::size_t size);

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
    std::string arena_;
};

} // namespace gamefolder
