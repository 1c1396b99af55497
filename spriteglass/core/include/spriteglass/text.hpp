// Text helpers for names stored in GAF files, which are 8-bit text in the
// game's code page (Windows-1252).
#pragma once

#include <string>
#include <string_view>

namespace spriteglass {

// Converts Windows-1252 bytes to UTF-8 (the five undefined bytes become the
// control characters of the same value).
std::string Cp1252ToUtf8(std::string_view bytes);

// True when the two Windows-1252 names are equal without regard to letter case.
bool SameNameIgnoringCase(std::string_view a, std::string_view b);

// The name with every letter in upper case: two names have the same key
// exactly when SameNameIgnoringCase holds.
std::string NameKey(std::string_view name);

// True when the text can be used as one file name: not empty, no path
// separator, no control character and none of the characters Windows refuses
// in names (< > : " / \ | ? *), so an exported file lands in its folder and
// the files a GAF name gives are the same on every system.
bool IsPortableFileName(std::string_view name);

} // namespace spriteglass
