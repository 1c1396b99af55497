// Feeds arbitrary bytes to the archive reader: open, look up, verify, read
// and extract-path every member. Any crash, hang or huge allocation is a bug.
#include "hpiutil/archive.hpp"
#include "hpiutil/paths.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto archive = hpiutil::Archive::fromMemory(std::vector<std::uint8_t>(data, data + size));
    if (!archive) {
        return 0;
    }
    const auto& entries = archive->entries();
    for (const auto& e : entries) {
        (void)archive->find(e.path);
        (void)hpiutil::safeRelativePath(e.path);
        if (e.directory) {
            (void)archive->list(e.path);
        }
    }
    (void)archive->verify();
    return 0;
}
