#include "MeshglassSettings.hpp"

#include "common/settings_store.hpp"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace meshglass {

std::int32_t RoundedNumberOf(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    std::string number;
    auto take = [&](auto accept) {
        while (at < text.size() && accept(static_cast<unsigned char>(text[at]))) {
            number += text[at++];
        }
    };
    auto isDigit = [](unsigned char c) { return std::isdigit(c) != 0; };
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
        number += text[at++];
    }
    take(isDigit);
    if (at < text.size() && text[at] == '.') {
        number += text[at++];
        take(isDigit);
    }
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E') &&
        number.find_first_of("0123456789") != std::string::npos) {
        std::string exponent(1, 'e');
        std::size_t back = at++;
        if (at < text.size() && (text[at] == '-' || text[at] == '+')) {
            exponent += text[at++];
        }
        const std::size_t digitsAt = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            exponent += text[at++];
        }
        if (at > digitsAt) {
            number += exponent;
        } else {
            at = back;
        }
    }
    if (number.find_first_of("0123456789") == std::string::npos) {
        return 0;
    }
    const double value = std::nearbyint(std::strtod(number.c_str(), nullptr));
    if (!(value > -2147483648.0 && value < 2147483647.0)) {
        return 0;
    }
    return std::int32_t(value);
}

std::int32_t DisplayModeSetting() {
    const std::string text =
        common::SettingsStore::forCurrentUser().read("Meshglass", "Display", "OpenGLType", "2");
    return RoundedNumberOf(text);
}

} // namespace meshglass
