#include "spriteglass/json_value.hpp"

#include <cmath>
#include <cstdlib>

namespace spriteglass {

namespace {

class Parser {
public:
    Parser(std::string_view text, std::string& error) : s_(text), error_(error) {}

    std::optional<JsonValue> document() {
        JsonValue v;
        if (!value(v, 0)) {
            return std::nullopt;
        }
        space();
        if (i_ != s_.size()) {
            fail("text after the document");
            return std::nullopt;
        }
        return v;
    }

private:
    bool fail(const std::string& what) {
        std::size_t line = 1;
        for (std::size_t k = 0; k < i_ && k < s_.size(); ++k) {
            line += s_[k] == '\n';
        }
        error_ = "line " + std::to_string(line) + ": " + what;
        return false;
    }
    void space() {
        while (i_ < s_.size() &&
               (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\n' || s_[i_] == '\r')) {
            ++i_;
        }
    }
    bool literal(std::string_view word) {
        if (s_.substr(i_, word.size()) != word) {
            return fail("unexpected text");
        }
        i_ += word.size();
        return true;
    }
    static void appendUtf8(std::string& out, std::uint32_t c) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18);
            out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    bool hex4(std::uint32_t& c) {
        if (s_.size() - i_ < 4) {
            return fail("a short \\u escape");
        }
        c = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = s_[i_++];
            const int d = h >= '0' && h <= '9'   ? h - '0'
                          : h >= 'a' && h <= 'f' ? h - 'a' + 10
                          : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                                 : -1;
            if (d < 0) {
                return fail("a bad \\u escape");
            }
            c = c << 4 | std::uint32_t(d);
        }
        return true;
    }
    bool string(std::string& out) {
        ++i_; // the opening quote
        while (true) {
            if (i_ >= s_.size()) {
                return fail("a string without its closing quote");
            }
            const unsigned char ch = static_cast<unsigned char>(s_[i_++]);
            if (ch == '"') {
                return true;
            }
            if (ch < 0x20) {
                return fail("a control character in a string");
            }
            if (ch != '\\') {
                out += char(ch);
                continue;
            }
            if (i_ >= s_.size()) {
                return fail("a string without its closing quote");
            }
            const char e = s_[i_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                std::uint32_t c = 0;
                if (!hex4(c)) {
                    return false;
                }
                if (c >= 0xD800 && c < 0xDC00) {
                    std::uint32_t low = 0;
                    if (s_.substr(i_, 2) != "\\u" || (i_ += 2, !hex4(low)) || low < 0xDC00 ||
                        low >= 0xE000) {
                        return fail("a lone surrogate in a \\u escape");
                    }
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                } else if (c >= 0xDC00 && c < 0xE000) {
                    return fail("a lone surrogate in a \\u escape");
                }
                appendUtf8(out, c);
                break;
            }
            default:
                return fail("an unknown escape in a string");
            }
        }
    }
    bool numberValue(JsonValue& v) {
        const std::size_t start = i_;
        if (i_ < s_.size() && s_[i_] == '-') {
            ++i_;
        }
        while (i_ < s_.size() &&
               ((s_[i_] >= '0' && s_[i_] <= '9') || s_[i_] == '.' || s_[i_] == 'e' ||
                s_[i_] == 'E' || s_[i_] == '+' || s_[i_] == '-')) {
            ++i_;
        }
        const std::string digits(s_.substr(start, i_ - start));
        char* end = nullptr;
        v.kind = JsonValue::Kind::Number;
        v.number = std::strtod(digits.c_str(), &end);
        if (digits.empty() || end != digits.c_str() + digits.size() || !std::isfinite(v.number)) {
            return fail("a bad number");
        }
        return true;
    }
    bool value(JsonValue& v, int depth) {
        if (depth > MaxJsonDepth) {
            return fail("nested deeper than " + std::to_string(MaxJsonDepth) + " levels");
        }
        space();
        if (i_ >= s_.size()) {
            return fail("the document ends where a value was expected");
        }
        const char c = s_[i_];
        if (c == '{') {
            v.kind = JsonValue::Kind::Object;
            ++i_;
            space();
            if (i_ < s_.size() && s_[i_] == '}') {
                ++i_;
                return true;
            }
            while (true) {
                space();
                if (i_ >= s_.size() || s_[i_] != '"') {
                    return fail("a member name was expected");
                }
                std::string name;
                if (!string(name)) {
                    return false;
                }
                space();
                if (i_ >= s_.size() || s_[i_] != ':') {
                    return fail("':' was expected");
                }
                ++i_;
                v.keys.push_back(std::move(name));
                v.values.emplace_back();
                if (!value(v.values.back(), depth + 1)) {
                    return false;
                }
                space();
                if (i_ < s_.size() && s_[i_] == ',') {
                    ++i_;
                    continue;
                }
                if (i_ < s_.size() && s_[i_] == '}') {
                    ++i_;
                    return true;
                }
                return fail("',' or '}' was expected");
            }
        }
        if (c == '[') {
            v.kind = JsonValue::Kind::Array;
            ++i_;
            space();
            if (i_ < s_.size() && s_[i_] == ']') {
                ++i_;
                return true;
            }
            while (true) {
                v.items.emplace_back();
                if (!value(v.items.back(), depth + 1)) {
                    return false;
                }
                space();
                if (i_ < s_.size() && s_[i_] == ',') {
                    ++i_;
                    continue;
                }
                if (i_ < s_.size() && s_[i_] == ']') {
                    ++i_;
                    return true;
                }
                return fail("',' or ']' was expected");
            }
        }
        if (c == '"') {
            v.kind = JsonValue::Kind::String;
            return string(v.text);
        }
        if (c == 't' || c == 'f') {
            v.kind = JsonValue::Kind::Bool;
            v.boolean = c == 't';
            return literal(c == 't' ? "true" : "false");
        }
        if (c == 'n') {
            return literal("null");
        }
        return numberValue(v);
    }

    std::string_view s_;
    std::string& error_;
    std::size_t i_ = 0;
};

} // namespace

const JsonValue* JsonValue::find(std::string_view name) const {
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] == name) {
            return &values[i];
        }
    }
    return nullptr;
}

std::optional<std::int64_t> JsonValue::integer(std::int64_t low, std::int64_t high) const {
    if (kind != Kind::Number || number != std::floor(number) || number < double(low) ||
        number > double(high)) {
        return std::nullopt;
    }
    return std::int64_t(number);
}

std::optional<JsonValue> ParseJson(std::string_view text, std::string& error) {
    if (text.size() > MaxJsonBytes) {
        error = "the document is larger than " + std::to_string(MaxJsonBytes >> 20) + " MiB";
        return std::nullopt;
    }
    return Parser(text, error).document();
}

} // namespace spriteglass
