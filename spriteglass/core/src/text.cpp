#include "spriteglass/text.hpp"

#include <cstdint>

namespace spriteglass {

namespace {

// Code points of Windows-1252 bytes 0x80..0x9F; 0 marks the undefined ones.
constexpr char16_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Upper-case counterpart of a Windows-1252 byte.
std::uint8_t upper(std::uint8_t c) {
    if (c >= 'a' && c <= 'z') {
        return std::uint8_t(c - 32);
    }
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) {
        return std::uint8_t(c - 32);
    }
    switch (c) {
    case 0x9A:
        return 0x8A; // s caron
    case 0x9C:
        return 0x8C; // oe
    case 0x9E:
        return 0x8E; // z caron
    case 0xFF:
        return 0x9F; // y diaeresis
    default:
        return c;
    }
}

} // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto c = std::uint8_t(ch);
        if (c >= 0x80 && c < 0xA0) {
            const char16_t mapped = kHigh[c - 0x80];
            appendUtf8(out, mapped ? mapped : 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (upper(std::uint8_t(a[i])) != upper(std::uint8_t(b[i]))) {
            return false;
        }
    }
    return true;
}

std::string NameKey(std::string_view name) {
    std::string key(name);
    for (char& c : key) {
        c = char(upper(std::uint8_t(c)));
    }
    return key;
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
