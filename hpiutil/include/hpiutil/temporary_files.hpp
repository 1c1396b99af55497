// The temporary files of the atomic writers. An archive (or any file the
// library replaces) is written to ".NAME.tmp-PID-XXXXXX" beside its target,
// where PID is the writing process and XXXXXX is made unique by the system.
// The PID lets a later writer, or a tool stopped by a signal, tell which
// files are leftovers of a process that is gone and remove them.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace hpiutil {

// The name prefix of the temporary files of `target` written by process
// `pid`: ".NAME.tmp-PID-".
std::string TemporaryPrefix(const std::filesystem::path& target, long pid);

// The writer's process id recorded in `fileName` when it is one of our
// temporary files, else nothing.
std::optional<long> TemporaryFileOwner(std::string_view fileName);

// Removes the temporary files in `folder` whose writer is no longer
// running. Files of running processes (this one included) stay. Returns how
// many were removed.
std::size_t RemoveStaleTemporaryFiles(const std::filesystem::path& folder);

// Removes the temporary files in `folder` written by process `pid`: a tool
// stopped by a signal calls it with its own id before it exits.
std::size_t RemoveTemporaryFilesOf(const std::filesystem::path& folder, long pid);

} // namespace hpiutil
