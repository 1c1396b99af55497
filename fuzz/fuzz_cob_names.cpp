// Feeds arbitrary bytes to the COB name reader: it either fails or returns
// names that lie in the file, within the caps; never a crash or a read out
// of bounds.
#include "unitcheck/cob_names.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto names = unitcheck::readCobNames(std::span(data, size));
    if (!names) {
        return 0;
    }
    // Each name of a list has its own 4-byte offset in the file (the two
    // tables may overlap each other and the header).
    for (const auto* list : {&names->scripts, &names->pieces}) {
        if (list->size() * 4 > size) {
            __builtin_trap();
        }
        for (const std::string& name : *list) {
            if (name.size() > unitcheck::MaxCobNameLength || name.size() >= size) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
