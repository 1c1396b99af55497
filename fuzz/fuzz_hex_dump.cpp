// The hex dump's lines of any bytes: one line of 68 characters for every 16
// bytes, each byte's two hex digits where its slot is, and the dump of the
// first 16 bytes is the first line. Anything else is a bug.
#include "hex_dump_lines.hpp"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const QStringList lines = crateward::HexDumpLines(bytes);
    if (std::size_t(lines.size()) != (size + 15) / 16) {
        __builtin_trap();
    }
    static const char digits[] = "0123456789ABCDEF";
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.size() != crateward::kHexDumpLineLength) {
            __builtin_trap();
        }
        for (std::size_t k = 0; k < 16; ++k) {
            const std::size_t at = std::size_t(i) * 16 + k;
            const QChar* slot = line.constData() + 3 * k + k / 4;
            const bool past = at >= size;
            if (past ? (slot[0] != u' ' || slot[1] != u' ')
                     : (slot[0] != QLatin1Char(digits[data[at] >> 4]) ||
                        slot[1] != QLatin1Char(digits[data[at] & 15]))) {
                __builtin_trap();
            }
        }
    }
    if (size > 0 &&
        crateward::HexDumpLine(bytes.first(std::min<std::size_t>(size, 16))) != lines[0]) {
        __builtin_trap();
    }
    return 0;
}
