#include "GameFolder.hpp"

#include "hpiutil/hpiutil.h"

#include <string>

namespace meshglass {

std::filesystem::path DetectedGameFolder() {
    char buffer[4096] = {};
    GetTADirectory(buffer);
    return std::filesystem::path(std::string(buffer));
}

} // namespace meshglass
