#include "hpiutil/lz77.hpp"

#include <string>

namespace hpiutil::lz77 {

// Output byte k lives in window slot (k + 1) mod 4096, so a reference to slot
// `pos`, made when m bytes are out, reads the latest output byte s < m with
// (s + 1) mod 4096 == pos, that is s = m - 1 - ((m - pos) mod 4096). The
// copy then runs forward over the output itself with distance m - s, which
// gives the byte-by-byte overlap semantics of the window.
Status decompress(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    std::size_t ip = 0;
    std::size_t m = 0;
    const std::size_t outSize = out.size();
    for (;;) {
        if (ip >= in.size()) {
            return fail("LZ77 stream ends without its terminator", std::int64_t(ip));
        }
        const std::uint8_t tag = in[ip++];
        for (int bit = 0; bit < 8; ++bit) {
            if ((tag & (1u << bit)) == 0) {
                if (ip >= in.size()) {
                    return fail("LZ77 stream ends without its terminator", std::int64_t(ip));
                }
                if (m >= outSize) {
                    return fail("LZ77 stream produces more than " + std::to_string(outSize) +
                                    " bytes",
                                std::int64_t(ip));
                }
                out[m++] = in[ip++];
                continue;
            }
            if (ip + 2 > in.size()) {
                return fail("LZ77 stream ends inside a reference", std::int64_t(ip));
            }
            const unsigned v = unsigned(in[ip]) | unsigned(in[ip + 1]) << 8;
            ip += 2;
            const std::size_t pos = v >> 4;
            if (pos == 0) {
                if (m != outSize) {
                    return fail("LZ77 stream produces " + std::to_string(m) + " bytes, not " +
                                    std::to_string(outSize),
                                std::int64_t(ip));
                }
                return {};
            }
            const std::size_t len = (v & 0x0F) + 2;
            const std::size_t back = 1 + ((m + 4096 - pos) & 0xFFF);
            if (back > m) {
                return fail("LZ77 reference to a window slot not yet written",
                            std::int64_t(ip - 2));
            }
            if (len > outSize - m) {
                return fail("LZ77 stream produces more than " + std::to_string(outSize) + " bytes",
                            std::int64_t(ip - 2));
            }
            std::uint8_t* dst = out.data() + m;
            const std::uint8_t* src = dst - back;
            for (std::size_t j = 0; j < len; ++j) {
                dst[j] = src[j];
            }
            m += len;
        }
    }
}

} // namespace hpiutil::lz77
