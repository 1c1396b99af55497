// The C contract over the C++ API: handle tables, the listing protocol and
// the progress callback.
#include "hpiutil/archive.hpp"
#include "hpiutil/hpiutil.h"
#include "hpiutil/writer.hpp"
#include "ta_directory.hpp"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

using hpiutil::Archive;
using hpiutil::ArchiveWriter;

struct OpenArchive {
    explicit OpenArchive(Archive a) : archive(std::move(a)) {}
    Archive archive;
    // The directory HPIDir listed last, so walking one directory is linear.
    std::mutex cacheMutex;
    std::string lastDir;
    std::int32_t lastDirIndex = -2;
};

struct Pack {
    std::string target;
    HPIProgressCallback callback = nullptr;
    ArchiveWriter writer;
};

struct Handles {
    std::mutex mutex;
    std::int32_t next = 1;
    std::map<std::int32_t, std::shared_ptr<OpenArchive>> archives;
    std::map<std::int32_t, std::shared_ptr<Pack>> packs;

    // Handles are never reused while the counter has not wrapped, so a stale
    // handle finds nothing.
    std::int32_t allocate() {
        std::int32_t h = next;
        while (h <= 0 || archives.count(h) || packs.count(h)) {
            h = h == INT32_MAX || h <= 0 ? 1 : h + 1;
        }
        next = h == INT32_MAX ? 1 : h + 1;
        return h;
    }
};

Handles& handles() {
    static Handles h;
    return h;
}

thread_local std::string lastError;

void setError(const hpiutil::Error& e) {
    lastError = e.message();
}
void setError(std::string text) {
    lastError = std::move(text);
}

std::shared_ptr<OpenArchive> archiveFor(std::int32_t h) {
    std::lock_guard lock(handles().mutex);
    auto it = handles().archives.find(h);
    if (it == handles().archives.end()) {
        setError("unknown archive handle " + std::to_string(h));
        return nullptr;
    }
    return it->second;
}

// The pack behind a handle; `end` removes it from the table (HPIPackArchive
// ends the handle whatever its result).
std::shared_ptr<Pack> packFor(std::int32_t h, bool end) {
    std::lock_guard lock(handles().mutex);
    auto it = handles().packs.find(h);
    if (it == handles().packs.end()) {
        setError("unknown pack handle " + std::to_string(h));
        return nullptr;
    }
    auto pack = it->second;
    if (end) {
        handles().packs.erase(it);
    }
    return pack;
}

// Copies `text` into a caller's name buffer, cut at a character boundary so
// it fits with its NUL.
void fillName(char* buffer, const std::string& text) {
    if (!buffer) {
        return;
    }
    std::size_t n = std::min<std::size_t>(text.size(), HPI_NAME_BUFFER - 1);
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
        --n;
    }
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::int32_t fillEntry(const hpiutil::Entry& e, const std::string& text, std::int32_t next,
                       char* name, std::int32_t* type, std::int32_t* size) {
    fillName(name, text);
    if (type) {
        *type = e.directory ? 1 : 0;
    }
    if (size) {
        *size = static_cast<std::int32_t>(std::min<std::uint32_t>(e.size, INT32_MAX));
    }
    return next;
}

// Scales a progress value and its maximum together into 31 bits.
void scaled(std::uint64_t value, std::uint64_t max, std::int32_t& v, std::int32_t& m) {
    int shift = 0;
    while ((max >> shift) > std::uint64_t(INT32_MAX)) {
        ++shift;
    }
    v = static_cast<std::int32_t>(std::min(value, max) >> shift);
    m = static_cast<std::int32_t>(max >> shift);
}

} // namespace

extern "C" {

void GetTADirectory(char* buffer) {
    fillName(buffer, hpiutil::findGameDirectory().string());
}

std::int32_t HPIOpen(const char* archiveFile) {
    if (!archiveFile || !*archiveFile) {
        setError("no archive file named");
        return 0;
    }
    auto opened = Archive::open(archiveFile);
    if (!opened) {
        setError(opened.error());
        return 0;
    }
    auto state = std::make_shared<OpenArchive>(std::move(opened.value()));
    std::lock_guard lock(handles().mutex);
    const std::int32_t h = handles().allocate();
    handles().archives.emplace(h, std::move(state));
    return h;
}

std::int32_t HPIGetFiles(std::int32_t archive, std::int32_t index, char* name, std::int32_t* type,
                         std::int32_t* size) {
    auto a = archiveFor(archive);
    if (!a || index < 0) {
        return 0;
    }
    const auto& entries = a->archive.entries();
    if (std::size_t(index) >= entries.size()) {
        return 0;
    }
    const auto& e = entries[std::size_t(index)];
    return fillEntry(e, e.path, index + 1, name, type, size);
}

std::int32_t HPIDir(std::int32_t archive, std::int32_t index, const char* directory, char* name,
                    std::int32_t* type, std::int32_t* size) {
    auto a = archiveFor(archive);
    if (!a || index < 0) {
        return 0;
    }
    const std::string dir = directory ? directory : "";
    std::lock_guard lock(a->cacheMutex);
    if (a->lastDirIndex == -2 || dir != a->lastDir) {
        auto found = a->archive.find(dir);
        if (!found || (*found >= 0 && !a->archive.entries()[std::size_t(*found)].directory)) {
            setError("no directory \"" + dir + "\" in the archive");
            return 0;
        }
        a->lastDir = dir;
        a->lastDirIndex = *found;
    }
    auto kids = a->archive.children(a->lastDirIndex);
    if (std::size_t(index) >= kids.size()) {
        return 0;
    }
    const auto& e = a->archive.entries()[kids[std::size_t(index)]];
    return fillEntry(e, e.name, index + 1, name, type, size);
}

std::int32_t HPIExtractFile(std::int32_t archive, const char* member, const char* destination) {
    auto a = archiveFor(archive);
    if (!a || !member || !destination || !*destination) {
        return 0;
    }
    auto found = a->archive.find(member);
    if (!found || *found < 0) {
        setError(std::string("no member \"") + member + "\" in the archive");
        return 0;
    }
    const auto& e = a->archive.entries()[std::size_t(*found)];
    if (e.directory) {
        setError(std::string("\"") + member + "\" is a directory");
        return 0;
    }
    auto st = a->archive.extractTo(e, destination);
    if (!st) {
        setError(st.error());
        return 0;
    }
    return 1;
}

void HPIClose(std::int32_t archive) {
    if (archive == 0) {
        return;
    }
    std::shared_ptr<OpenArchive> closing;
    std::lock_guard lock(handles().mutex);
    auto it = handles().archives.find(archive);
    if (it != handles().archives.end()) {
        closing = std::move(it->second);
        handles().archives.erase(it);
    }
}

std::int32_t HPICreate(const char* archiveFile, HPIProgressCallback progress) {
    if (!archiveFile || !*archiveFile) {
        setError("no archive file named");
        return 0;
    }
    std::filesystem::path target(archiveFile);
    std::error_code ec;
    const auto folder = target.has_parent_path() ? target.parent_path() : ".";
    if (!std::filesystem::is_directory(folder, ec)) {
        setError(std::string(archiveFile) + ": its folder does not exist");
        return 0;
    }
    auto pack = std::make_shared<Pack>();
    pack->target = archiveFile;
    pack->callback = progress;
    std::lock_guard lock(handles().mutex);
    const std::int32_t h = handles().allocate();
    handles().packs.emplace(h, std::move(pack));
    return h;
}

std::int32_t HPIAddFile(std::int32_t packHandle, const char* member, const char* sourceFile) {
    auto pack = packFor(packHandle, false);
    if (!pack) {
        return 0;
    }
    if (!member || !sourceFile || !*sourceFile) {
        setError("no member name or source file");
        return 0;
    }
    auto st = pack->writer.addFile(member, sourceFile);
    if (!st) {
        setError(st.error());
        return 0;
    }
    return 1;
}

std::int32_t HPIPackArchive(std::int32_t packHandle, std::int32_t method) {
    auto pack = packFor(packHandle, true);
    if (!pack) {
        return 0;
    }
    if (method < 0 || method > 2) {
        setError("unknown compression method " + std::to_string(method));
        return 0;
    }
    std::string current;
    hpiutil::PackProgressFn report;
    if (pack->callback) {
        report = [&](const hpiutil::PackProgress& p) {
            current.assign(p.file);
            char name[HPI_NAME_BUFFER];
            fillName(name, current);
            std::int32_t fv, fm, av, am;
            scaled(p.fileDone, p.fileTotal, fv, fm);
            scaled(p.archiveDone, p.archiveTotal, av, am);
            pack->callback(0, name, static_cast<std::int32_t>(p.filesDone),
                           static_cast<std::int32_t>(p.filesTotal), fv, fm, av, am);
        };
    }
    auto st = pack->writer.write(pack->target, static_cast<hpiutil::Method>(method), report);
    if (!st) {
        setError(st.error());
        return 0;
    }
    return 1;
}

const char* HPILastError(void) {
    return lastError.c_str();
}

} // extern "C"
