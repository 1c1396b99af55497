// Where a program finds what is shipped with it: the running executable's
// folder first, then ../share/crateward/ beside it (the install tree).
#pragma once

#include <filesystem>
#include <string_view>

namespace common {

// Folder of the running executable (empty when it cannot be found).
std::filesystem::path ProgramDirectory();

// Path of a shipped data file such as "palette.dat": in programDirectory when
// it is there, else in programDirectory/../share/crateward/ when it is there,
// else the first of the two (so a reader sees a missing file).
std::filesystem::path ProgramDataFile(std::string_view name,
                                      const std::filesystem::path& programDirectory);
std::filesystem::path ProgramDataFile(std::string_view name);

} // namespace common
