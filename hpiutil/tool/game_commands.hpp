// The hpi tool's commands over a whole game folder: its sources in mount
// order, which source provides a path, the shadow report, and cat/extract of
// the merged view. Each returns the exit code: 0 success, 1 failure, 2 usage.
#pragma once

#include "commands.hpp"

namespace hpitool {

int game(const Args& args);
int which(const Args& args);
int shadowed(const Args& args);
int gameCat(const Args& args);     // cat --game DIR PATH
int gameExtract(const Args& args); // extract --game DIR [-C DIR] [PATH...]

// True when cat/extract were given --game and belong to the game commands.
bool wantsGame(const Args& args);

// The usage lines of the game commands.
const char* gameUsage();

} // namespace hpitool
