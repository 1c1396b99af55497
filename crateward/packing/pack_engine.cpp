#include "pack_engine.hpp"

#include <fnmatch.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "hpiutil/hpiutil.h"

namespace crateward::packing {

namespace fs = std::filesystem;

std::int32_t PackHandle = 0;
std::string PackRoot;

namespace {

std::function<void()>& eventPump() {
    static std::function<void()> pump;
    return pump;
}
std::function<void(const std::string&)>& addFailureHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}
ProgressSink& progressSink() {
    static ProgressSink sink;
    return sink;
}
PackArchiveFunction packFunction = &HPIPackArchive;

bool matches(std::string_view pattern, const std::string& name) {
    if (pattern == "*.*" || pattern == "*") {
        return true;
    }
    return fnmatch(std::string(pattern).c_str(), name.c_str(), FNM_CASEFOLD) == 0;
}

struct Listing {
    std::vector<std::string> files;
    std::vector<std::string> directories;
};

std::size_t leftOutHidden = 0;

// The names in `path`, sorted: real directories (not links) and regular
// files, those whose names start with "." only when `hidden` includes them
// (hidden folders are entered either way, as they always were).
Listing listDirectory(const std::string& path, HiddenFiles hidden) {
    Listing out;
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const auto status = it->symlink_status(ec);
        if (ec) {
            ec.clear();
            continue;
        }
        const bool directory = fs::is_directory(status);
        if (!directory && !fs::is_regular_file(status)) {
            continue;
        }
        if (directory) {
            out.directories.push_back(name);
        } else if (hidden == HiddenFiles::LeaveOut && name.starts_with('.')) {
            ++leftOutHidden;
        } else {
            out.files.push_back(name);
        }
    }
    std::sort(out.files.begin(), out.files.end());
    std::sort(out.directories.begin(), out.directories.end());
    return out;
}

} // namespace

namespace {

std::error_code walk(std::string path, std::string_view pattern, int mode, HiddenFiles hidden) {
    if (!path.ends_with('/')) {
        path += '/';
    }
    PumpEvents();
    const Listing listing = listDirectory(path, hidden);
    for (const std::string& file : listing.files) {
        if (!matches(pattern, file)) {
            continue;
        }
        if (mode == kAddMode) {
            AddFileToPack(path, file);
        } else {
            std::error_code ec;
            fs::remove(path + file, ec);
            if (ec) {
                return ec;
            }
        }
    }
    for (const std::string& directory : listing.directories) {
        if (auto ec = walk(path + directory + '/', pattern, mode, hidden)) {
            return ec;
        }
    }
    return {};
}

} // namespace

std::error_code WalkDirectory(std::string path, std::string_view pattern, int mode,
                              HiddenFiles hidden) {
    leftOutHidden = 0;
    return walk(std::move(path), pattern, mode, hidden);
}

std::size_t LeftOutHiddenFiles() {
    return leftOutHidden;
}

std::string ArchiveNameOf(const std::string& directory, const std::string& fileName) {
    std::string name = directory.size() > PackRoot.size() ? directory.substr(PackRoot.size()) : "";
    name += fileName;
    std::replace(name.begin(), name.end(), '/', '\\');
    if (name.starts_with('\\')) {
        name.erase(0, 1);
    }
    return name;
}

bool AddFileToPack(const std::string& directory, const std::string& fileName) {
    const std::string full = directory + fileName;
    if (HPIAddFile(PackHandle, ArchiveNameOf(directory, fileName).c_str(), full.c_str()) != 0) {
        return true;
    }
    if (addFailureHandler()) {
        addFailureHandler()(full);
    }
    return false;
}

void RemoveSubdirectories(const std::string& path) {
    std::error_code ec;
    std::vector<fs::path> directories;
    fs::recursive_directory_iterator it(path, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec)) {
            directories.push_back(it->path());
        }
    }
    // Deeper paths are longer than their parents: remove the longest first.
    std::sort(directories.begin(), directories.end(), [](const fs::path& a, const fs::path& b) {
        return a.native().size() > b.native().size();
    });
    for (const fs::path& d : directories) {
        fs::remove(d, ec);
    }
}

std::error_code EmptyDirectory(const std::string& path, bool removeToo) {
    const std::error_code failed = WalkDirectory(path, "*.*", kDeleteMode);
    RemoveSubdirectories(path);
    if (removeToo) {
        std::error_code ec;
        fs::remove(path, ec);
    }
    return failed;
}

std::string TextFromCString(const char* bytes) {
    if (!bytes) {
        return {};
    }
    constexpr std::size_t kMost = 256;
    const void* nul = std::memchr(bytes, '\0', kMost);
    const std::size_t length = nul ? std::size_t(static_cast<const char*>(nul) - bytes) : kMost;
    return std::string(bytes, length);
}

std::int32_t PackProgress(std::int32_t, const char* fileName, std::int32_t filesDone,
                          std::int32_t filesTotal, std::int32_t fileDone, std::int32_t fileTotal,
                          std::int32_t archiveDone, std::int32_t archiveTotal) {
    if (progressSink()) {
        progressSink()({TextFromCString(fileName), filesDone, filesTotal, fileDone, fileTotal,
                        archiveDone, archiveTotal});
    }
    return 0;
}

void BindProgress(ProgressSink sink) {
    progressSink() = std::move(sink);
}

void SetEventPump(std::function<void()> pump) {
    eventPump() = std::move(pump);
}

void PumpEvents() {
    if (eventPump()) {
        eventPump()();
    }
}

void SetAddFailureHandler(std::function<void(const std::string&)> handler) {
    addFailureHandler() = std::move(handler);
}

PackArchiveFunction SetPackArchiveFunction(PackArchiveFunction function) {
    return std::exchange(packFunction, function ? function : &HPIPackArchive);
}

bool PackArchive(std::int32_t method) {
    const bool written = packFunction(PackHandle, method) != 0;
    PackHandle = 0;
    return written;
}

} // namespace crateward::packing
