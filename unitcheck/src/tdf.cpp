#include "unitcheck/tdf.hpp"

#include "common/codepage.hpp"

namespace unitcheck {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// One pass over the text. Every loop moves the position forward, and the
// nesting is bounded by limits.maxDepth, so any input ends.
class Reader {
public:
    Reader(std::string_view text, const TdfLimits& limits, TdfDocument& doc)
        : text_(text.substr(0, std::min(text.size(), limits.maxBytes))), limits_(limits),
          doc_(doc) {
        if (text.size() > text_.size()) {
            ++doc_.problems;
        }
    }

    void readTop() {
        while (!full_) {
            skipBlank();
            if (at_ >= text_.size()) {
                return;
            }
            if (text_[at_] == '[') {
                readSection(doc_.sections, 1);
            } else {
                // Stray text between sections: passed over up to the next '['.
                ++doc_.problems;
                while (at_ < text_.size() && text_[at_] != '[') {
                    ++at_;
                }
            }
        }
    }

private:
    // Whitespace and both kinds of comment.
    void skipBlank() {
        while (at_ < text_.size()) {
            if (isSpace(text_[at_])) {
                ++at_;
            } else if (text_.compare(at_, 2, "//") == 0) {
                skipLine();
            } else if (text_.compare(at_, 2, "/*") == 0) {
                const std::size_t end = text_.find("*/", at_ + 2);
                at_ = end == std::string_view::npos ? text_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    void skipLine() {
        while (at_ < text_.size() && text_[at_] != '\n') {
            ++at_;
        }
    }

    std::string capped(std::string_view s, std::size_t cap) {
        if (s.size() > cap) {
            ++doc_.problems;
            s = s.substr(0, cap);
        }
        return std::string(s);
    }

    // At '[': the section's name, then its body in braces. Sections deeper
    // than the cap are passed over, braces balanced, and not kept.
    void readSection(std::vector<TdfSection>& into, int depth) {
        ++at_; // '['
        const std::size_t nameStart = at_;
        while (at_ < text_.size() && text_[at_] != ']' && text_[at_] != '\n') {
            ++at_;
        }
        if (at_ >= text_.size() || text_[at_] != ']') {
            ++doc_.problems;
            return;
        }
        const std::string_view name = trim(text_.substr(nameStart, at_ - nameStart));
        ++at_; // ']'
        skipBlank();
        if (at_ >= text_.size() || text_[at_] != '{') {
            ++doc_.problems;
            return;
        }
        ++at_; // '{'
        if (depth > limits_.maxDepth || sections_ >= limits_.maxSections) {
            ++doc_.problems;
            full_ = sections_ >= limits_.maxSections;
            skipBody();
            return;
        }
        ++sections_;
        into.emplace_back();
        into.back().name = capped(name, limits_.maxNameLength);
        readBody(into.back(), depth);
    }

    // Past a body whose '{' was read, up to its matching '}'.
    void skipBody() {
        std::size_t open = 1;
        while (at_ < text_.size() && open > 0) {
            skipBlank();
            if (at_ >= text_.size()) {
                break;
            }
            const char c = text_[at_++];
            open += c == '{';
            open -= c == '}';
        }
    }

    // Keys, values and nested sections up to the closing '}'.
    void readBody(TdfSection& section, int depth) {
        while (!full_) {
            skipBlank();
            if (at_ >= text_.size()) {
                ++doc_.problems; // the section is never closed
                return;
            }
            const char c = text_[at_];
            if (c == '}') {
                ++at_;
                return;
            }
            if (c == '[') {
                readSection(section.sections, depth + 1);
                continue;
            }
            readValue(section);
        }
    }

    // "key = value ;". A value ends at ';', or, when the ';' is left out,
    // at the end of its line or at a '}' (counted as a problem).
    void readValue(TdfSection& section) {
        const std::size_t keyStart = at_;
        while (at_ < text_.size() && text_[at_] != '=' && text_[at_] != ';' && text_[at_] != '\n' &&
               text_[at_] != '}' && text_[at_] != '[' && text_.compare(at_, 2, "//") != 0 &&
               text_.compare(at_, 2, "/*") != 0) {
            ++at_;
        }
        if (at_ >= text_.size() || text_[at_] != '=') {
            // Not a key=value: passed over (a lone ';' is harmless).
            if (at_ < text_.size() && (text_[at_] == ';' || text_[at_] == '\n')) {
                doc_.problems += trim(text_.substr(keyStart, at_ - keyStart)).empty() ? 0 : 1;
                ++at_;
            } else {
                doc_.problems += at_ > keyStart ? 1 : 0;
                if (at_ == keyStart) {
                    ++at_; // a '{' or other character that starts nothing
                    ++doc_.problems;
                }
            }
            return;
        }
        const std::string_view key = trim(text_.substr(keyStart, at_ - keyStart));
        ++at_; // '='
        const std::size_t valueStart = at_;
        while (at_ < text_.size() && text_[at_] != ';' && text_[at_] != '\n' && text_[at_] != '}') {
            ++at_;
        }
        std::string_view value = text_.substr(valueStart, at_ - valueStart);
        if (at_ < text_.size() && text_[at_] == ';') {
            ++at_;
        } else {
            ++doc_.problems;
        }
        if (const std::size_t comment = value.find("//"); comment != std::string_view::npos) {
            value = value.substr(0, comment);
        }
        if (values_ >= limits_.maxValues) {
            ++doc_.problems;
            full_ = true;
            return;
        }
        ++values_;
        section.values.emplace_back(capped(key, limits_.maxNameLength),
                                    capped(trim(value), limits_.maxValueLength));
    }

    std::string_view text_;
    const TdfLimits& limits_;
    TdfDocument& doc_;
    std::size_t at_ = 0;
    std::size_t sections_ = 0;
    std::size_t values_ = 0;
    bool full_ = false; // a count cap was reached: nothing more is read
};

template <class Sections>
const TdfSection* findSection(const Sections& sections, std::string_view name) {
    for (const TdfSection& s : sections) {
        if (sameName(s.name, name)) {
            return &s;
        }
    }
    return nullptr;
}

} // namespace

bool sameName(std::string_view a, std::string_view b) {
    return common::equalsFolded(a, b);
}

const std::string* TdfSection::value(std::string_view key) const {
    for (const auto& [k, v] : values) {
        if (sameName(k, key)) {
            return &v;
        }
    }
    return nullptr;
}

const TdfSection* TdfSection::section(std::string_view name) const {
    return findSection(sections, name);
}

const TdfSection* TdfDocument::section(std::string_view name) const {
    return findSection(sections, name);
}

TdfDocument parseTdf(std::string_view text, const TdfLimits& limits) {
    TdfDocument doc;
    Reader(text, limits, doc).readTop();
    return doc;
}

} // namespace unitcheck
