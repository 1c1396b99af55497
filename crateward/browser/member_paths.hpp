// Member paths inside an archive ('\'-joined, no leading '\') and the disk
// paths extraction writes to.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace crateward {

// The text after the last "." (empty when there is none).
std::string ExtensionOf(std::string_view name);
// The text after the last "\".
std::string FileNameOf(std::string_view path);

// The relative disk path of a member path, or nothing when writing it could
// leave the destination: an empty path or component, ".", "..", a leading
// "\", a drive letter, '/' or a control character in a component.
std::optional<std::filesystem::path> SafeRelativePath(std::string_view memberPath);

// The game's folder with a trailing '/': the library's answer, or the
// user's home folder when the library finds none.
std::string GameDirectory();

} // namespace crateward
