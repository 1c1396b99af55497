// Meshglass's one setting, read from the per-user settings store under the
// application name "Meshglass". The program never writes it.
#pragma once

#include <cstdint>
#include <string_view>

namespace meshglass {

// "Display"/"OpenGLType": the view's draw mode at start (0 filled, 1 lit,
// 2 wireframe), 2 when absent.
std::int32_t DisplayModeSetting();

// The number at the start of the text (blanks, sign, digits, a decimal
// point and an exponent), 0 when there is none, rounded half to even.
std::int32_t RoundedNumberOf(std::string_view text);

} // namespace meshglass
