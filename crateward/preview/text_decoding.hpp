// Text of the game's files: bytes in Windows-1252.
#pragma once

#include <QString>

#include <string_view>

namespace crateward {

// Windows-1252 bytes as text; the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same
// value, as Windows does.
QString DecodeWindows1252(std::string_view bytes);

} // namespace crateward
