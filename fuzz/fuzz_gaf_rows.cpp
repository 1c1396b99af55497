// Feeds arbitrary run-length rows to both row decoders: the fast one must
// never read or write out of bounds and must agree with the plain rule.
#include "spriteglass/palette.hpp"
#include "spriteglass/run_length_rows.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace spriteglass;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const int width = 1 + (data[0] | (data[1] & 0x0F) << 8);
    const int height = 1 + data[2] % 64;
    const std::vector<std::uint8_t> file(data + 3, data + size);
    std::vector<std::uint8_t> fast(std::size_t(width) * height, MaskIndex);
    std::vector<std::uint8_t> exact = fast;
    const bool fastOk = DecodeRunLengthRows(file, 0, width, height, fast, RowDecoder::Fast);
    const bool exactOk = DecodeRunLengthRows(file, 0, width, height, exact, RowDecoder::Exact);
    if (fastOk != exactOk || (exactOk && fast != exact)) {
        __builtin_trap();
    }
    return 0;
}
