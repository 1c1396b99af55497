// The game's text (archive member names, sprite names, its data files) is
// Windows-1252 bytes; the toolkit's text is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// Every byte maps to one character (the five bytes Windows-1252 leaves
// undefined map to the C1 code points of the same value), so this never fails.
std::string cp1252ToUtf8(std::string_view bytes);

// Empty optional when the text is not valid UTF-8 or holds a character
// Windows-1252 cannot represent.
std::optional<std::string> utf8ToCp1252(std::string_view text);

// Upper-case folding of one Windows-1252 byte, as name matching uses it.
unsigned char foldCp1252(unsigned char c);

// The name with every letter folded: two names are equal without regard to
// case exactly when their folded forms are equal.
std::string foldedName(std::string_view name);

// Case-insensitive equality and ordering of Windows-1252 names.
bool equalsFolded(std::string_view a, std::string_view b);
bool lessFolded(std::string_view a, std::string_view b);

} // namespace common
