// The names a compiled unit script (COB) declares: its scripts and the model
// pieces it uses. The header is little-endian 32-bit words: word 0 the
// version, 1 the number of scripts, 2 the number of pieces, 7 the offset of
// the array of script-name offsets, 8 the offset of the array of piece-name
// offsets; each name is NUL-terminated.
//
// The reader takes any bytes: counts are capped and checked against the
// file, every offset is checked, a name stops at the file's end or at
// MaxCobNameLength.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "hpiutil/result.hpp"

namespace unitcheck {

inline constexpr std::uint32_t MaxCobNames = 65536;
inline constexpr std::size_t MaxCobNameLength = 256;

struct CobNames {
    std::uint32_t version = 0;
    std::vector<std::string> scripts;
    std::vector<std::string> pieces;
};

// Fails when the header is short, a count does not fit in the file, or an
// offset array or a name lies outside it.
hpiutil::Result<CobNames> readCobNames(std::span<const std::uint8_t> bytes);

} // namespace unitcheck
