// Game folders for the tests: archives written by the library from a list
// of members and their text.
#pragma once

#include "gamefolder/game_folder.hpp"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fixture {

using Members = std::vector<std::pair<std::string, std::string>>; // member path, content

// Writes a v1 archive holding `members` (folders end with '\').
void writeArchive(const std::filesystem::path& path, const Members& members);

// The providing copy's source name of `path`, or "" when nothing provides it.
std::string providerOf(const gamefolder::GameFolder& game, const std::string& path);

// The source names of every copy of `path`, in mount order.
std::vector<std::string> holdersOf(const gamefolder::GameFolder& game, const std::string& path);

// The bytes `read` streams for `path`.
std::string contentOf(const gamefolder::GameFolder& game, const std::string& path);

// The mounted folder; fails the test when the mount fails.
gamefolder::GameFolder mountOrDie(const std::filesystem::path& folder);

} // namespace fixture
