// Small helpers for the files Crateward keeps in the user's folders and for
// the desktop tools it runs over them.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace crateward {

// The folder named by the XDG variable when it is set and absolute, else
// $HOME/`fallback`.
std::filesystem::path UserFolder(const char* variable, const char* fallback);

// The whole file, or nothing when it cannot be read.
std::optional<std::string> ReadText(const std::filesystem::path& file);

enum class WriteResult { Same, Written, Failed };

// Replaces `file` with `content` unless it already holds exactly that; the
// new content goes to a temporary file beside it and is renamed over it.
// Missing folders are created.
WriteResult WriteIfDifferent(const std::filesystem::path& file, const std::string& content);

// Runs the tool found on PATH with its arguments and waits for it: true when
// it is not installed, or it ran and ended with status 0.
bool RunInstalledTool(const std::string& tool, const std::vector<std::string>& arguments);

} // namespace crateward
