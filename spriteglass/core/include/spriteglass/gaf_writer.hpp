// Writes GAF files: the inverse of the reader. Entries, frames and subframes
// are laid out as the game's own files are (header and entry table; each
// entry's record and frame table followed by its frames; each frame's record
// followed by its pixels or by its subframe list and subframes), every field
// the reader keeps written back as it was. Version 0x00010100.
#pragma once

#include "spriteglass/gaf_file.hpp"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace spriteglass {

struct GafWriteResult {
    std::vector<std::uint8_t> bytes;
    std::string error; // empty on success
    bool ok() const { return error.empty(); }
};

// The bytes of the file, or the reason it cannot be written so that the
// reader gives back the same tree: a name over 32 bytes, holding a NUL or
// repeated (without regard to case); more than 32767 frames in an entry or
// 255 subframes in a frame; subframes nested deeper than the reader follows;
// a size or hotspot outside 16 bits; pixels that do not match the size; a
// run-length row longer than its count can say; more pixels than the reader
// accepts from a file of that size. Nothing is ever cut short.
GafWriteResult GafFileBytes(const classGAF& gaf);

// Writes the file beside its target and renames it over it once complete, so
// a failure leaves any old file as it was. False with the reason otherwise.
bool SaveGafFile(const std::filesystem::path& file, const classGAF& gaf, std::string& error);

// The same atomic replacement for any bytes.
bool WriteFileAtomically(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes,
                         std::string& error);

} // namespace spriteglass
