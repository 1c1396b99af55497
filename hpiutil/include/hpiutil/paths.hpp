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

// Why one name component cannot be a disk name inside a destination, or
// empty when it can: it is empty, "." or "..", holds '\', '/' or a control
// character, or is longer than a disk folder entry (255 bytes of UTF-8).
std::string unsafeNameReason(std::string_view component);

// Maps a member path to a relative disk path that stays inside any
// destination. Refuses an empty path, a leading '\' (absolute), a drive
// letter, and components that unsafeNameReason() refuses.
Result<std::filesystem::path> safeRelativePath(std::string_view memberPath);

// The member path of a disk path relative to a root: components joined with '\'.
std::string memberPathOf(const std::filesystem::path& relative);

} // namespace hpiutil
