// A small JSON reader for the build manifest: the whole document as a tree
// of values. Hostile input is bounded (nesting depth, document size) and
// every error says where it lies.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace spriteglass {

class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text; // UTF-8
    std::vector<JsonValue> items;
    // An object's members in document order: keys[i] names values[i].
    std::vector<std::string> keys;
    std::vector<JsonValue> values;

    // The member of that name, or null when absent (or not an object).
    const JsonValue* find(std::string_view name) const;
    // The number when it is a whole number in [low, high].
    std::optional<std::int64_t> integer(std::int64_t low, std::int64_t high) const;
};

inline constexpr int MaxJsonDepth = 64;
inline constexpr std::size_t MaxJsonBytes = 16u << 20;

// The document, or nothing with `error` set ("line L: what").
std::optional<JsonValue> ParseJson(std::string_view text, std::string& error);

} // namespace spriteglass
