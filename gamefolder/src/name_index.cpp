#include "name_index.hpp"

#include "common/codepage.hpp"

#include <array>

namespace gamefolder {

void NameIndex::fold(std::string_view raw, std::string& out) {
    // Every byte's fold, looked up once: a mount folds tens of thousands of names.
    static const std::array<char, 256> folds = [] {
        std::array<char, 256> t{};
        for (unsigned c = 0; c < 256; ++c) {
            t[c] = char(common::foldCp1252(static_cast<unsigned char>(c)));
        }
        return t;
    }();
    out.resize(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        out[i] = folds[static_cast<unsigned char>(raw[i])];
    }
}

std::uint32_t NameIndex::hash(std::int32_t parent, std::string_view folded) {
    std::uint32_t h = 2166136261u ^ std::uint32_t(parent) * 0x9e3779b9u;
    for (char c : folded) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    // The low bits pick the slot: mix every bit into them.
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    return h ^ (h >> 16);
}

std::string_view NameIndex::keyOf(const Slot& slot) const {
    return std::string_view(arena_).substr(slot.keyOffset, slot.keyLength);
}

void NameIndex::reserve(std::size_t keys) {
    arena_.reserve(keys * 12);
    std::size_t size = 1024;
    while (size < keys * 2) {
        size *= 2;
    }
    if (size > slots_.size()) {
        rehash(size);
    }
}

std::int32_t NameIndex::find(std::int32_t parent, std::string_view folded) const {
    if (slots_.empty()) {
        return kAbsent;
    }
    const std::uint32_t h = hash(parent, folded);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.node == 0) {
            return kAbsent;
        }
        if (s.hash == h && s.parent == parent && keyOf(s) == folded) {
            return std::int32_t(s.node - 1);
        }
    }
}

std::uint32_t NameIndex::findOrAdd(std::int32_t parent, std::string_view folded,
                                   std::uint32_t candidate) {
    if ((count_ + 1) * 2 > slots_.size()) {
        rehash(slots_.empty() ? 1024 : slots_.size() * 2);
    }
    const std::uint32_t h = hash(parent, folded);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = h & mask;
    for (; slots_[i].node != 0; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.hash == h && s.parent == parent && keyOf(s) == folded) {
            return s.node - 1;
        }
    }
    slots_[i] =
        Slot{candidate + 1, h, parent, std::uint32_t(arena_.size()), std::uint32_t(folded.size())};
    arena_.append(folded);
    ++count_;
    return candidate;
}

void NameIndex::rehash(std::size_t size) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(size, Slot{});
    const std::size_t mask = size - 1;
    for (const Slot& s : old) {
        if (s.node == 0) {
            continue;
        }
        std::size_t i = s.hash & mask;
        while (slots_[i].node != 0) {
            i = (i + 1) & mask;
        }
        slots_[i] = s;
    }
}

} // namespace gamefolder
