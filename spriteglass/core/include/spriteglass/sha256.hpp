// SHA-256, for the pixel digests that `gaf info` prints.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace spriteglass {

// Lowercase hex digest of the bytes.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

} // namespace spriteglass
