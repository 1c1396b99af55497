// Building the small archives an outside unit viewer reads from its own
// folder: the quick export (the selected unit's model and script with a
// fixed test unit description, one archive per side) and the custom export
// (three files chosen by the user). Every archive is written with method 0
// through the archive library, which replaces its target only once the new
// archive is complete.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "class_export_param.hpp"

namespace crateward {

// Where the quick export finds and leaves its files.
struct ViewerExportPlaces {
    // Crateward's folder: the fixed descriptions armCRWDunit.fbi and
    // corCRWDunit.fbi are looked up from it (see common::ProgramDataFile).
    std::filesystem::path programDirectory;
    // Where temp.3do and temp.cob are extracted (the per-user data folder).
    std::filesystem::path scratchDirectory;
};

// The archive name of the quick export for `side` ("arm" or "cor").
std::string ViewerArchiveName(std::string_view side);

// Extracts objects3d\<UnitName>.3do and scripts\<UnitName>.cob from the
// archive param.HPIchemin into temp.3do and temp.cob, and writes
// `archivePath` holding units\<side>CRWD.fbi (the side's fixed description),
// scripts\<side>CRWD.cob and objects3d\<side>CRWD.3do. The two temporary
// files are deleted once the archive is written. False at the first step
// that fails; nothing is written then.
bool BuildViewerArchive(const classExportParam& param, const std::filesystem::path& archivePath,
                        std::string_view side, const ViewerExportPlaces& places);

// Writes `archivePath` holding units\<name of fbi>, scripts\<name of cob>
// and objects3d\<name of tdo>. False when the archive cannot be created, a
// file cannot be added or the archive cannot be written.
bool PackCustomExport(const std::filesystem::path& archivePath, const std::filesystem::path& fbi,
                      const std::filesystem::path& cob, const std::filesystem::path& tdo);

} // namespace crateward
