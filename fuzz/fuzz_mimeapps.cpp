// The default-application merge of mimeapps.list on any existing text: the
// result holds exactly one entry for the type in [Default Applications],
// naming the desktop entry, and merging again changes nothing. Anything else
// is a bug.
#include "file_association.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

const std::string kType = "application/x-hpi-archive";
const std::string kDesktop = "crateward.desktop";

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool isTypeEntry(const std::string& line) {
    const std::string t = trimmed(line);
    const auto eq = t.find('=');
    return !t.empty() && t.front() != '#' && eq != std::string::npos &&
           trimmed(t.substr(0, eq)) == kType;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string existing(reinterpret_cast<const char*>(data), size);
    const std::string once = crateward::MimeAppsWithDefault(existing, kType, kDesktop);
    if (crateward::MimeAppsWithDefault(once, kType, kDesktop) != once) {
        __builtin_trap();
    }
    std::istringstream in(once);
    bool inDefaults = false;
    int entries = 0;
    for (std::string line; std::getline(in, line);) {
        const std::string t = trimmed(line);
        if (!t.empty() && t.front() == '[') {
            inDefaults = t == "[Default Applications]";
        } else if (inDefaults && isTypeEntry(line)) {
            ++entries;
            if (line != kType + "=" + kDesktop) {
                __builtin_trap();
            }
        }
    }
    if (entries != 1) {
        __builtin_trap();
    }
    return 0;
}
