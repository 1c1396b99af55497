// The recent-archive list of the File menu: keys "1" (newest) to "10" of the
// "Opened Hpi" section.
#pragma once

#include <string>

#include "common/settings_store.hpp"

namespace crateward {

// Puts `path` first and moves the others down one key (the tenth falls
// off), in one locked read-modify-write of the section, so instances that
// open archives at the same time never lose each other's entries.
bool PushRecentArchive(const common::SettingsStore& settings, const std::string& path);

} // namespace crateward
