// Feeds arbitrary text to the TDF reader, with its usual caps and with tight
// ones, then looks names up in what it read: nothing may crash, hang, recurse
// past its depth cap or keep more than its caps allow.
#include "default_max_len.hpp"
#include "unitcheck/tdf.hpp"

#include <cstddef>
#include <cstdint>
#include <string_view>

using namespace unitcheck;

namespace {

// Counts sections and values below `section`, trapping past the caps.
void walk(const TdfSection& section, int depth, const TdfLimits& limits, std::size_t& sections,
          std::size_t& values) {
    if (depth > limits.maxDepth || section.name.size() > limits.maxNameLength) {
        __builtin_trap();
    }
    ++sections;
    values += section.values.size();
    for (const auto& [key, value] : section.values) {
        if (key.size() > limits.maxNameLength || value.size() > limits.maxValueLength ||
            section.value(key) == nullptr) {
            __builtin_trap();
        }
    }
    for (const TdfSection& child : section.sections) {
        if (section.section(child.name) == nullptr) {
            __builtin_trap();
        }
        walk(child, depth + 1, limits, sections, values);
    }
}

void check(std::string_view text, const TdfLimits& limits) {
    const TdfDocument doc = parseTdf(text, limits);
    std::size_t sections = 0, values = 0;
    for (const TdfSection& section : doc.sections) {
        walk(section, 1, limits, sections, values);
    }
    if (sections > limits.maxSections || values > limits.maxValues) {
        __builtin_trap();
    }
    (void)doc.section("UNITINFO");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    AddDefaultMaxLen(argc, argv, "-max_len=16384");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    check(text, TdfLimits{});
    TdfLimits tight;
    tight.maxBytes = 4096;
    tight.maxDepth = 3;
    tight.maxSections = 20;
    tight.maxValues = 40;
    tight.maxNameLength = 8;
    tight.maxValueLength = 16;
    check(text, tight);
    return 0;
}
