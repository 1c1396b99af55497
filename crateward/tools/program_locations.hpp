// The locations of the outside programs Crateward starts, as held in memory
// for the whole run, and the path rules around them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "common/settings_store.hpp"

namespace crateward {

struct ProgramLocations {
    std::string TAPath;            // "TA": the game
    std::string UnitViewerPath;    // "UV": the unit viewer
    std::string ModelProgramPath;  // "3DO": shows 3DO models
    std::string SpriteProgramPath; // "GAF": shows GAF sprites
    std::string MapProgramPath;    // "MAP": the map editor
    // Pictures go to the desktop's program for their type. Set only by the
    // program-locations dialog, so it stays false until that dialog has been
    // opened during the run, whatever "Pict Type" holds.
    bool PictureExternal = false;
};

// Reads the five "Programmes" values (empty when missing). PictureExternal
// is left as it is.
void LoadProgramPaths(const common::SettingsStore& settings, ProgramLocations& programs);

// Crateward's own viewers are the defaults of the "GAF" and "3DO" locations:
// for each of the two whose location key and option key are both absent,
// the viewer beside the program is stored as the location and 0 as the
// option, as choosing the quick viewer in the program-locations dialog
// does. A location or an option the user has set is left as it is.
void DefaultToOwnViewers(const common::SettingsStore& settings,
                         const std::filesystem::path& programDirectory);

// The text before the last separator ('/' or '\'), without it; the whole
// path when it holds none.
std::string FolderOf(std::string_view path);

// Path of one of Crateward's own viewers in the program directory.
std::string SiblingProgramPath(const std::filesystem::path& programDirectory,
                               std::string_view program);

} // namespace crateward
