#include "spriteglass/text.hpp"

#include "common/codepage.hpp"

#include <cstdint>

namespace spriteglass {

std::string Cp1252ToUtf8(std::string_view bytes) {
    return common::cp1252ToUtf8(bytes);
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return common::equalsFolded(a, b);
}

std::string NameKey(std::string_view name) {
    return common::foldedName(name);
}

bool IsPortableFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (char ch : name) {
        const auto c = std::uint8_t(ch);
        if (c < 0x20 || c == 0x7F) {
            return false;
        }
        switch (c) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '/':
        case '\\':
        case '|':
        case '?':
        case '*':
            return false;
        default:
            break;
        }
    }
    return true;
}

} // namespace spriteglass
