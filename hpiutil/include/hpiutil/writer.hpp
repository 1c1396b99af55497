// Writing a v1 archive: queue disk files, memory buffers and directories
// under archive names, then pack them with method 0 (stored), 1 (LZ77) or
// 2 (ZLIB). Chunks are compressed on all cores; the output does not depend
// on the thread count. The archive is written to a temporary file beside the
// target and renamed over it only when complete.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "hpiutil/format.hpp"
#include "hpiutil/result.hpp"

namespace hpiutil {

struct PackProgress {
    std::string_view file;       // archive path of the current file
    std::uint32_t filesDone = 0; // files completely packed
    std::uint32_t filesTotal = 0;
    std::uint64_t fileDone = 0; // bytes of the current file packed
    std::uint64_t fileTotal = 0;
    std::uint64_t archiveDone = 0; // bytes of all files packed
    std::uint64_t archiveTotal = 0;
};
using PackProgressFn = std::function<void(const PackProgress&)>;

class ArchiveWriter {
public:
    ArchiveWriter();
    ArchiveWriter(ArchiveWriter&&) noexcept;
    ArchiveWriter& operator=(ArchiveWriter&&) noexcept;
    ~ArchiveWriter();

    // `archivePath` is UTF-8, '\'-separated, without a leading '\'. Each
    // component must be a valid name (see validateName). Directories on the
    // way are created; a name already queued (without regard to case) is
    // refused. The source must be a readable regular file now (it is opened
    // once to check); its bytes are read only when the archive is written.
    Status addFile(std::string_view archivePath, const std::filesystem::path& source);
    Status addBuffer(std::string_view archivePath, std::vector<std::uint8_t> bytes);
    Status addDirectory(std::string_view archivePath);

    std::uint32_t fileCount() const;

    // Packs everything queued into `target`. `threads` 0 means one per core.
    Status write(const std::filesystem::path& target, Method method,
                 const PackProgressFn& progress = {}, unsigned threads = 0) const;

    // A name component the writer accepts: not empty, not "." or "..", no
    // '\' '/' ':' '*' '?' '"' '<' '>' '|', no control characters, and
    // representable in Windows-1252.
    static Status validateName(std::string_view component);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace hpiutil
