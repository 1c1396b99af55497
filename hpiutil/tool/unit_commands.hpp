// hpi unitcheck: what units need and where each piece is, over a game
// folder, one archive or an unpacked folder. Exit 0 when nothing is missing,
// 1 when anything is (or the place cannot be read), 2 on a usage error.
#pragma once

#include "commands.hpp"

namespace hpitool {

int unitcheck(const Args& args);

// The command's usage lines.
const char* unitUsage();

} // namespace hpitool
