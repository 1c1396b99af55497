// The lines of a hex dump: 16 bytes a line, 68 characters, no offset. Each
// byte is two upper-case hex digits and a space, with one more space after
// every fourth slot (columns 1 to 52), then the 16 bytes as characters
// (columns 53 to 68): Windows-1252, bytes below 32 and slots past the end as
// spaces.
#pragma once

#include <QStringList>

#include <cstdint>
#include <span>

namespace crateward {

inline constexpr int kHexDumpLineLength = 68;
inline constexpr std::size_t kHexDumpLimit = 30000; // bytes shown at most

QString HexDumpLine(std::span<const std::uint8_t> bytes); // at most 16 bytes
QStringList HexDumpLines(std::span<const std::uint8_t> bytes);

} // namespace crateward
