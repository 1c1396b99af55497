// The game's folder as the archive library finds it ($TA_DIR, else the one
// holding totala.exe in the Wine prefix); empty when there is none.
#pragma once

#include <filesystem>

namespace meshglass {

std::filesystem::path DetectedGameFolder();

} // namespace meshglass
