// The instance's working directory: "temp1" to "temp10" in the per-user data
// directory. Beside each slot's folder lies its lock file ("temp1.lock"),
// locked by the instance that owns the slot for as long as it runs, with
// that instance's process id written in it. The lock goes with the process,
// however it ends, so a slot whose lock is free belongs to nobody: a folder
// left there by a crashed or killed instance is removed by the next
// instance that starts, and ten crashes never lock the user out. Two
// instances started at once never share a slot: the lock decides.
#pragma once

#include <filesystem>
#include <optional>

namespace crateward {

constexpr int kMaxInstances = 10;

// Where the programs write: $CRATEWARD_HOME when set, else
// $XDG_DATA_HOME/crateward, else $HOME/.local/share/crateward.
std::filesystem::path UserDataDirectory();

// A claimed slot: its folder and the held lock. Dropping it releases the
// lock and leaves the folder; Remove() deletes the folder first.
class WorkingDirectorySlot {
public:
    WorkingDirectorySlot(std::filesystem::path folder, int lockFd);
    WorkingDirectorySlot(WorkingDirectorySlot&& other) noexcept;
    WorkingDirectorySlot& operator=(WorkingDirectorySlot&& other) noexcept;
    WorkingDirectorySlot(const WorkingDirectorySlot&) = delete;
    WorkingDirectorySlot& operator=(const WorkingDirectorySlot&) = delete;
    ~WorkingDirectorySlot();

    const std::filesystem::path& folder() const { return folder_; }
    // Deletes the folder, then gives the slot up.
    void Remove();

private:
    void release();

    std::filesystem::path folder_;
    int lockFd_ = -1;
};

// Removes the folders of the slots below `base` that nobody owns, then
// claims the first free slot (its folder created empty). Nothing when all
// ten are owned or the base cannot hold a slot.
std::optional<WorkingDirectorySlot> ClaimWorkingDirectory(const std::filesystem::path& base);

// Deletes every file and subdirectory below `directory` without following
// symbolic links, then `directory` itself. Errors are skipped.
void RemoveWorkingDirectory(const std::filesystem::path& directory);

// Deletes everything below `directory` (links are removed, never followed)
// and keeps the folder itself.
void EmptyWorkingDirectory(const std::filesystem::path& directory);

} // namespace crateward
