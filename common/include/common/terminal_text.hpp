// Outside text (member names, file names) written where a person reads it.
// A name may hold control characters: an escape sequence would drive the
// terminal, a newline would split one entry over two lines. On a terminal
// they are shown escaped; into a pipe or a file the text passes unchanged,
// so scripts get the exact bytes.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>

namespace common {

// The text with C0 controls, DEL and C1 controls (U+0080..U+009F) escaped:
// \n, \r, \t, \xNN for the other bytes below 0x20 and DEL, \u00NN for C1.
inline std::string escapeControls(std::string_view text) {
    static const char* const hex = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto u = static_cast<unsigned char>(text[i]);
        if (u == '\n') {
            out += "\\n";
        } else if (u == '\r') {
            out += "\\r";
        } else if (u == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += hex[u >> 4];
            out += hex[u & 15];
        } else if (u == 0xC2 && i + 1 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            const auto c1 = static_cast<unsigned char>(text[++i]);
            out += "\\u00";
            out += hex[c1 >> 4];
            out += hex[c1 & 15];
        } else {
            out += text[i];
        }
    }
    return out;
}

inline bool isTerminal(std::FILE* stream) {
    const int fd = ::fileno(stream);
    return fd >= 0 && ::isatty(fd) == 1;
}

// `text` as it is to be written to `stream`: escaped when the stream is a
// terminal, unchanged otherwise.
inline std::string forStream(std::string_view text, std::FILE* stream) {
    return isTerminal(stream) ? escapeControls(text) : std::string(text);
}

} // namespace common
