#include "hex_dump_lines.hpp"

#include <array>
#include <string>

#include "common/codepage.hpp"

namespace crateward {

namespace {

// The character shown for each byte value.
const std::array<QChar, 256>& textColumn() {
    static const std::array<QChar, 256> table = [] {
        std::array<QChar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const std::string one(1, char(b));
            const QString text = QString::fromStdString(common::cp1252ToUtf8(one));
            t[std::size_t(b)] = b < 32 || text.isEmpty() ? QLatin1Char(' ') : text[0];
        }
        return t;
    }();
    return table;
}

} // namespace

QString HexDumpLine(std::span<const std::uint8_t> bytes) {
    static const char digits[] = "0123456789ABCDEF";
    const auto& text = textColumn();
    QString line(kHexDumpLineLength, QLatin1Char(' '));
    QChar* out = line.data();
    for (std::size_t k = 0; k < 16; ++k) {
        // Slot k starts at 3k + k/4 (0-based).
        QChar* slot = out + 3 * k + k / 4;
        if (k < bytes.size()) {
            slot[0] = QLatin1Char(digits[bytes[k] >> 4]);
            slot[1] = QLatin1Char(digits[bytes[k] & 15]);
            out[52 + k] = text[bytes[k]];
        }
    }
    return line;
}

QStringList HexDumpLines(std::span<const std::uint8_t> bytes) {
    QStringList lines;
    lines.reserve(qsizetype((bytes.size() + 15) / 16));
    for (std::size_t at = 0; at < bytes.size(); at += 16) {
        lines.append(HexDumpLine(bytes.subspan(at, std::min<std::size_t>(16, bytes.size() - at))));
    }
    return lines;
}

} // namespace crateward
