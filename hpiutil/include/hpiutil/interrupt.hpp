// Stopping cleanly on SIGINT, SIGTERM and SIGHUP. The library records every
// file it is writing and has not finished (an archive's temporary file, a
// member being extracted); a stopping signal removes them, then ends the
// process by the same signal, so an interrupted command leaves nothing
// behind (an archive being replaced is untouched until its rename).
#pragma once

#include <cstddef>

namespace hpiutil {

// Call once, early in main, before any other thread starts: the three
// signals are then taken by a thread of their own, outside any handler.
void RemoveUnfinishedFilesOnSignal();

// What the signal does before the process ends: removes the files under
// way and makes every later attempt to start one fail. Returns how many
// files it removed.
std::size_t RemoveUnfinishedFiles();

} // namespace hpiutil
