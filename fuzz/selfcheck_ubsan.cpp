// Checks the fuzz build, not a parser: an input that starts with "UB"
// overflows a signed integer. With every sanitizer report fatal the run ends
// there; a build whose reports recover goes on, says so, and the test script
// fails on either that line or a run that did not fail.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= 3 && data[0] == 'U' && data[1] == 'B') {
        volatile int largest = INT_MAX;
        const int sum = largest + int(data[2] | 1);
        std::fprintf(stderr, "selfcheck: recovered after a report (%d)\n", sum);
    }
    return 0;
}
