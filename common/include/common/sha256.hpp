// SHA-256 (FIPS 180-4): the pixel digests `gaf info` prints, and the tests'
// checks of real files against their published digests.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace common {

// Lowercase hex digest of the bytes.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

} // namespace common
