// The instance's working directory: "temp1" to "temp10" in the per-user data
// directory. A slot is claimed by creating its folder, which fails when the
// name exists in any form, so two instances started at once never share one
// and a folder left behind by an instance that did not shut down keeps its
// slot taken.
#pragma once

#include <filesystem>
#include <optional>

namespace crateward {

constexpr int kMaxInstances = 10;

// Where the programs write: $CRATEWARD_HOME when set, else
// $XDG_DATA_HOME/crateward, else $HOME/.local/share/crateward.
std::filesystem::path UserDataDirectory();

// Claims the first free slot below `base` (created when missing) and returns
// its folder, or nothing when all ten are taken or cannot be created.
std::optional<std::filesystem::path> ClaimWorkingDirectory(const std::filesystem::path& base);

// Deletes every file and subdirectory below `directory` without following
// symbolic links, then `directory` itself. Errors are skipped.
void RemoveWorkingDirectory(const std::filesystem::path& directory);

} // namespace crateward
