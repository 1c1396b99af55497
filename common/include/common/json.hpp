// Text for the JSON the command-line tools print.
#pragma once

#include <string>
#include <string_view>

namespace common {

// A JSON string literal of UTF-8 text, quotes included; every control
// character (C0, DEL, C1) escaped.
std::string jsonString(std::string_view text);

} // namespace common
