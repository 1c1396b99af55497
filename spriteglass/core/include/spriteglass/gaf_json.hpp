// The description of a loaded GAF file that `gaf info` prints.
#pragma once

#include "spriteglass/gaf_file.hpp"

#include <string>

namespace spriteglass {

// {"entries":[{"name","animated","frames":[{"width","height","x","y",
// "compressed","fps","pixels_sha256","subframes":[...]}]}]}, names in UTF-8,
// pixels_sha256 the digest of the frame's Width x Height index buffer.
std::string GafInfoJson(const classGAF& gaf);

} // namespace spriteglass
