// The flags of Crateward's secondary windows: the programs' shared owned
// window flags (common/owned_window.hpp).
#pragma once

#include "common/owned_window.hpp"

namespace crateward {

using common::kOwnedWindowFlags;

} // namespace crateward
