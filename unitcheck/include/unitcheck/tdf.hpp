// The game's TDF text (unit definitions, weapons, features, sounds, build
// menus): sections "[NAME] { key=value; ... }", sections nested inside
// sections, "//" and "/* */" comments, a value running up to its ';'.
// Section names and keys are matched without regard to case.
//
// The reader takes any bytes: text past the caps (size, nesting depth,
// sections, keys, name and value lengths) is not read, and what it skips or
// cannot make sense of is counted as a problem; it never fails as a whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace unitcheck {

struct TdfLimits {
    std::size_t maxBytes = 8u << 20;   // text read; the rest is ignored
    int maxDepth = 16;                 // sections inside sections
    std::size_t maxSections = 50000;   // in the whole text
    std::size_t maxValues = 250000;    // key=value pairs in the whole text
    std::size_t maxNameLength = 256;   // longer section names and keys are cut
    std::size_t maxValueLength = 4096; // longer values are cut
};

struct TdfSection {
    std::string name;                                        // as written, trimmed
    std::vector<std::pair<std::string, std::string>> values; // key, value; trimmed, in order
    std::vector<TdfSection> sections;                        // nested, in order

    // The first value of that key (without regard to case), or null.
    const std::string* value(std::string_view key) const;
    // The first nested section of that name (without regard to case), or null.
    const TdfSection* section(std::string_view name) const;
};

struct TdfDocument {
    std::vector<TdfSection> sections; // the top-level sections, in order
    int problems = 0;                 // things skipped: stray text, unclosed sections, caps

    const TdfSection* section(std::string_view name) const;
};

TdfDocument parseTdf(std::string_view text, const TdfLimits& limits = {});

// True when a and b are equal without regard to ASCII case.
bool sameName(std::string_view a, std::string_view b);

} // namespace unitcheck
