// The directory packing engine: the tree walker that adds every plain file of
// a directory tree to the archive being built (or deletes them), the
// directory emptier, and the progress callback handed to the archive library.
//
// Disk paths use '/'. Names inside the archive are the files' paths relative
// to PackRoot, '\'-joined, with no leading '\'. One archive is built at a
// time: PackHandle and PackRoot are module-level, as the library's handle is.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace crateward::packing {

constexpr int kAddMode = 1;
constexpr int kDeleteMode = 0;

// Handle of the archive being built (0 = none), from HPICreate to
// HPIPackArchive.
extern std::int32_t PackHandle;
// The directory being packed, with or without a final '/'.
extern std::string PackRoot;

// What a walk does with hidden files (names starting with "."): a folder
// Crateward unpacked holds members of any name, and every one is packed
// back (or deleted); a user's own folder packed "From a path..." keeps its
// hidden files out of the archive.
enum class HiddenFiles { Include, LeaveOut };

// Walks the tree under `path`: the files of a directory (those matching
// `pattern`; "*.*" and "*" match every name) before its subdirectories,
// subdirectories depth first in name order. Only regular files are handled:
// symbolic links and special files are left alone, linked directories are
// not entered, and hidden files as `hidden` says. Mode
// kAddMode adds each file with AddFileToPack; any other mode deletes it,
// stopping at the first file that cannot be deleted with that error.
// Pending window events run once per directory (see SetEventPump).
std::error_code WalkDirectory(std::string path, std::string_view pattern, int mode,
                              HiddenFiles hidden = HiddenFiles::Include);
// How many hidden files the last walk left out.
std::size_t LeftOutHiddenFiles();

// Adds `directory` (ending with '/') + `fileName` to PackHandle under its
// name relative to PackRoot. A refused file is reported to the add-failure
// handler with its full path; false then.
bool AddFileToPack(const std::string& directory, const std::string& fileName);

// The archive name of a file below PackRoot: the part of `directory` after
// PackRoot, then `fileName`, separators as '\', no leading '\'.
std::string ArchiveNameOf(const std::string& directory, const std::string& fileName);

// Deletes every plain file under `path` and removes its subdirectories;
// `removeToo` removes `path` itself as well. The first file that cannot be
// deleted is returned as the error (directories that stay are not errors).
std::error_code EmptyDirectory(const std::string& path, bool removeToo);

// Removes every subdirectory of `path`, deepest first, ignoring failures.
void RemoveSubdirectories(const std::string& path);

// The text of a NUL-terminated narrow string, at most 256 bytes read: a
// buffer without a NUL gives its first 256 bytes.
std::string TextFromCString(const char* bytes);

// The eight values the library reports, with the file name as text.
struct ProgressValues {
    std::string fileName;
    std::int32_t filesDone = 0;
    std::int32_t filesTotal = 0;
    std::int32_t fileDone = 0;
    std::int32_t fileTotal = 0;
    std::int32_t archiveDone = 0;
    std::int32_t archiveTotal = 0;
};
using ProgressSink = std::function<void(const ProgressValues&)>;

// The callback given to HPICreate: reads the name with TextFromCString and
// hands the values to the sink bound with BindProgress. Returns 0.
std::int32_t PackProgress(std::int32_t notUsed, const char* fileName, std::int32_t filesDone,
                          std::int32_t filesTotal, std::int32_t fileDone, std::int32_t fileTotal,
                          std::int32_t archiveDone, std::int32_t archiveTotal);
// Binds the window whose controls PackProgress writes (empty = none).
void BindProgress(ProgressSink sink);

// Lets pending window events run; set by the program (nothing by default).
void SetEventPump(std::function<void()> pump);
void PumpEvents();
// Told the full path of each file the library refuses.
void SetAddFailureHandler(std::function<void(const std::string& fullPath)> handler);

// HPIPackArchive by default; a test puts a failing one in its place.
using PackArchiveFunction = std::int32_t (*)(std::int32_t pack, std::int32_t method);
PackArchiveFunction SetPackArchiveFunction(PackArchiveFunction function);
// Packs PackHandle with `method` through the packing function and ends the
// handle. True when the archive was written.
bool PackArchive(std::int32_t method);

} // namespace crateward::packing
