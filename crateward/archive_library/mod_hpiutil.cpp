#include "mod_hpiutil.hpp"

#include <cstring>

#include "hpiutil/hpiutil.h"

namespace crateward::hpi {

namespace {

// A name buffer as the contract's callers prepare it: 255 spaces.
struct NameBuffer {
    char bytes[HPI_NAME_BUFFER];
    NameBuffer() { std::memset(bytes, ' ', sizeof bytes); }
    std::string text() const { return TextFromBuffer(bytes, sizeof bytes); }
};

} // namespace

std::string TextFromBuffer(const char* buffer, std::size_t capacity) {
    const void* nul = std::memchr(buffer, '\0', capacity);
    const std::size_t length = nul ? std::size_t(static_cast<const char*>(nul) - buffer) : capacity;
    return std::string(buffer, length);
}

std::string TADirectory() {
    NameBuffer buffer;
    GetTADirectory(buffer.bytes);
    return buffer.text();
}

std::int32_t Open(const std::string& archiveFile) {
    return HPIOpen(archiveFile.c_str());
}

std::int32_t GetFiles(std::int32_t archive, std::int32_t index, ListEntry& entry) {
    NameBuffer buffer;
    std::int32_t type = 0;
    std::int32_t size = 0;
    const std::int32_t next = HPIGetFiles(archive, index, buffer.bytes, &type, &size);
    if (next != 0) {
        entry.name = buffer.text();
        entry.type = type;
        entry.size = size;
    }
    return next;
}

std::int32_t Dir(std::int32_t archive, std::int32_t index, const std::string& directory,
                 ListEntry& entry) {
    NameBuffer buffer;
    std::int32_t type = 0;
    std::int32_t size = 0;
    const std::int32_t next = HPIDir(archive, index, directory.c_str(), buffer.bytes, &type, &size);
    if (next != 0) {
        entry.name = buffer.text();
        entry.type = type;
        entry.size = size;
    }
    return next;
}

bool ExtractFile(std::int32_t archive, const std::string& member, const std::string& destination) {
    return HPIExtractFile(archive, member.c_str(), destination.c_str()) != 0;
}

void Close(std::int32_t archive) {
    HPIClose(archive);
}

std::string LastError() {
    const char* reason = HPILastError();
    return reason ? reason : "";
}

} // namespace crateward::hpi
