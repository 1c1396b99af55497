#include "hpi_bench_floor.hpp"

#include "hpiutil/archive.hpp"
#include "hpiutil/format.hpp"
#include "hpiutil/paths.hpp"

#include <cstring>
#include <fcntl.h>
#include <functional>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace bench {

namespace fs = std::filesystem;

namespace {

// Calls `file(entry, bytes)` for each file of the archive with its bytes.
std::size_t
eachFile(const fs::path& archive,
         const std::function<void(const hpiutil::Entry&, std::span<const std::uint8_t>)>& file) {
    // The directory is small; both sides read it through the library.
    auto a = hpiutil::Archive::open(archive);
    const int fd = ::open(archive.c_str(), O_RDONLY | O_CLOEXEC);
    if (!a || fd < 0) {
        return 0;
    }
    std::vector<std::uint8_t> table, chunk, whole;
    std::size_t files = 0;
    for (const hpiutil::Entry& e : a->entries()) {
        if (e.directory) {
            continue;
        }
        const std::size_t n = (e.size + hpiutil::kChunkSize - 1) / hpiutil::kChunkSize;
        table.resize(4 * n);
        if (::pread(fd, table.data(), table.size(), off_t(e.dataOffset)) != ssize_t(table.size())) {
            continue;
        }
        whole.resize(e.size);
        off_t at = off_t(e.dataOffset + table.size());
        std::size_t produced = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t stored = hpiutil::loadU32(table.data() + 4 * i);
            chunk.resize(stored);
            if (::pread(fd, chunk.data(), stored, at) != ssize_t(stored) ||
                stored < hpiutil::kChunkHeaderSize) {
                break;
            }
            at += stored;
            std::span<std::uint8_t> payload(chunk.data() + hpiutil::kChunkHeaderSize,
                                            stored - hpiutil::kChunkHeaderSize);
            if (chunk[6] != 0) {
                (void)hpiutil::innerDecode(payload);
            }
            uLongf len = uLongf(whole.size() - produced);
            uncompress(whole.data() + produced, &len, payload.data(), uLong(payload.size()));
            produced += len;
        }
        file(e, std::span(whole.data(), produced));
        ++files;
    }
    ::close(fd);
    return files;
}

} // namespace

std::size_t floorExtract(const fs::path& archive, const fs::path& dest) {
    fs::path lastDir;
    return eachFile(archive, [&](const hpiutil::Entry& e, std::span<const std::uint8_t> bytes) {
        const fs::path target = dest / hpiutil::safeRelativePath(e.path).value();
        if (target.parent_path() != lastDir) {
            fs::create_directories(target.parent_path());
            lastDir = target.parent_path();
        }
        const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (out >= 0) {
            const ssize_t written = ::write(out, bytes.data(), bytes.size());
            (void)written;
            ::close(out);
        }
    });
}

std::size_t floorInflate(const fs::path& archive) {
    std::size_t total = 0;
    eachFile(archive, [&](const hpiutil::Entry&, std::span<const std::uint8_t> bytes) {
        total += bytes.size();
    });
    return total;
}

} // namespace bench
