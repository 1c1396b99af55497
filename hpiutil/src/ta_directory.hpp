// The game's folder, as GetTADirectory reports it (declared publicly for the
// tools that default to it).
#pragma once

#include "hpiutil/game_directory.hpp"
