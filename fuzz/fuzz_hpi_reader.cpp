// Feeds arbitrary bytes to the archive reader: open, look up, verify, read
// and extract-path every member. Any crash, hang or huge allocation is a bug,
// and so is a verify on two threads that reports other than one thread does.
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
    const auto one = archive->verify(1);
    const auto two = archive->verify(2);
    if (one.problems.size() != two.problems.size() || one.bytesChecked != two.bytesChecked ||
        one.chunksChecked != two.chunksChecked) {
        __builtin_trap();
    }
    for (std::size_t i = 0; i < one.problems.size(); ++i) {
        const auto& a = one.problems[i];
        const auto& b = two.problems[i];
        if (a.member != b.member || a.offset != b.offset || a.what != b.what) {
            __builtin_trap();
        }
    }
    return 0;
}
