// The thin binding of the archive library's C contract (libhpiutil): the
// calls the program makes, with the callers' 255-byte name buffers filled
// and cut at their first NUL. Nothing here interprets the archive.
#pragma once

#include <cstdint>
#include <string>

namespace crateward::hpi {

constexpr std::int32_t kDirectory = 1;
constexpr std::int32_t kFile = 0;

// One entry of a listing step.
struct ListEntry {
    std::string name;
    std::int32_t type = kFile;
    std::int32_t size = 0;
};

// The text of a library name buffer: cut at the first NUL, never reading
// past `capacity` bytes.
std::string TextFromBuffer(const char* buffer, std::size_t capacity);

// The game's folder as the library finds it ("" when not found).
std::string TADirectory();

std::int32_t Open(const std::string& archiveFile);
// One listing step from `index`: fills `entry` and returns the next index,
// 0 at the end (then `entry` is left as it was).
std::int32_t GetFiles(std::int32_t archive, std::int32_t index, ListEntry& entry);
std::int32_t Dir(std::int32_t archive, std::int32_t index, const std::string& directory,
                 ListEntry& entry);
// True when the member was written to `destination`.
bool ExtractFile(std::int32_t archive, const std::string& member, const std::string& destination);
void Close(std::int32_t archive);
// The library's reason for the last failure on this thread.
std::string LastError();

} // namespace crateward::hpi
