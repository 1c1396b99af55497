// The folder form of a GAF file: one picture per frame or subframe and the
// manifest "gaf.json" beside them, which says everything else the file holds
// (entries in order with their names and flags; frames with size, hotspot,
// compression, frame-table tag, the fields the viewer does not use, and
// their subframes), so the folder builds back into the same file.
#pragma once

#include "spriteglass/gaf_file.hpp"

#include <filesystem>
#include <string>

namespace spriteglass {

inline constexpr const char* ManifestFileName = "gaf.json";

// Writes every picture (named as "Export All images..." names them:
// Name_01.bmp, Name_03_02.bmp; a name that cannot be a file name, or that
// would give a file another picture already has, becomes entryN_...) and the
// manifest. False with the reason when a file cannot be written.
bool ExportGafFolder(const classGAF& gaf, const std::filesystem::path& directory,
                     const Palette& palette, ImageFormat format, std::string& error);

} // namespace spriteglass
