// Member paths ('\'-separated, no leading '\') and disk paths ('/').
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "hpiutil/result.hpp"

namespace hpiutil {

// Splits a member path on '\' (empty components kept, so callers can refuse them).
std::vector<std::string_view> splitMemberPath(std::string_view path);
// Joins components with '\'.
std::string joinMemberPath(const std::vector<std::string>& components);

// Maps a member path to a relative disk path that stays inside any
// destination. Refuses an empty path, a leading '\' (absolute), a drive
// letter, and components that are empty, "." or "..", or hold '/' or a
// control character.
Result<std::filesystem::path> safeRelativePath(std::string_view memberPath);

// The member path of a disk path relative to a root: components joined with '\'.
std::string memberPathOf(const std::filesystem::path& relative);

} // namespace hpiutil
