#pragma once

#include <string>
#include <string_view>

namespace hpitool {

// A JSON string literal, with quotes.
std::string jsonString(std::string_view text);

} // namespace hpitool
