#include "case_folded_tree.hpp"

#include <system_error>

namespace crateward {

std::string FoldedName(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = char(c + 32);
        } else if (c == 0xC3 && i + 1 < out.size()) {
            // U+00C0..U+00DE are C3 80..C3 9E; their small letters are 0x20 on.
            const auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                out[i + 1] = char(next + 0x20);
            }
            ++i;
        }
    }
    return out;
}

CaseFoldedTree::Names& CaseFoldedTree::namesOf(const std::filesystem::path& folder) {
    auto [it, added] = folders_.try_emplace(folder.string());
    if (added) {
        std::error_code ec;
        for (std::filesystem::directory_iterator entry(folder, ec), end; !ec && entry != end;
             entry.increment(ec)) {
            const std::string name = entry->path().filename().string();
            it->second.try_emplace(FoldedName(name), name);
        }
    }
    return it->second;
}

std::filesystem::path CaseFoldedTree::place(const std::filesystem::path& relative, bool directory) {
    std::filesystem::path at = root_;
    auto part = relative.begin();
    while (part != relative.end()) {
        const std::string name = part->string();
        ++part;
        const bool last = part == relative.end();
        Names& names = namesOf(at);
        const auto [spelt, added] = names.try_emplace(FoldedName(name), name);
        at /= spelt->second;
        if (!last || directory) {
            std::error_code ec;
            std::filesystem::create_directory(at, ec);
        }
    }
    return at;
}

} // namespace crateward
