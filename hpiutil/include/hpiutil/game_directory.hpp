// Where the game is installed: $TA_DIR, else the folder holding totala.exe
// (any letter case) in the default Wine prefix ($WINEPREFIX, else ~/.wine)
// under drive_c, in "Program Files", "Program Files (x86)", "GOG Games" or
// "Games", at most three levels down; else empty.
#pragma once

#include <filesystem>

namespace hpiutil {

std::filesystem::path findGameDirectory();

} // namespace hpiutil
