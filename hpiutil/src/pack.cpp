// Packing: the directory block is reserved, payloads are written in
// directory order (chunks compressed in parallel, handed back in order),
// then the directory, the header and the trailer complete the file, which
// replaces the target only when everything is written and flushed.
#include "atomic_file.hpp"
#include "chunk_pipeline.hpp"
#include "hpiutil/chunk.hpp"
#include "hpiutil/format.hpp"
#include "pack_layout.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hpiutil {

namespace {

constexpr std::uint64_t kMaxOffset = 0xFFFFFFFFull;

struct SourceFile {
    const PackNode* node;
    std::uint32_t size = 0;
};

Error sourceError(const PackNode& node, std::string what) {
    Error e = fail(std::move(what));
    e.file = node.source.string();
    e.member = node.path;
    return e;
}

// Reads `out.size()` bytes of a queued file at `offset`.
Status readSource(const PackNode& node, std::uint64_t offset, std::span<std::uint8_t> out) {
    if (node.bytes) {
        std::memcpy(out.data(), node.bytes->data() + offset, out.size());
        return {};
    }
    const int fd = ::open(node.source.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return sourceError(node,
                           std::string("cannot read the source file: ") + std::strerror(errno));
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd, out.data() + done, out.size() - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int err = errno;
            ::close(fd);
            return sourceError(node, n < 0 ? std::string("cannot read the source file: ") +
                                                 std::strerror(err)
                                           : std::string("the source file shrank while packing"));
        }
        done += std::size_t(n);
    }
    ::close(fd);
    return {};
}

Result<std::uint32_t> sizeOf(const PackNode& node) {
    if (node.bytes) {
        if (node.bytes->size() > kMaxOffset) {
            return sourceError(node, "larger than 4 GiB");
        }
        return static_cast<std::uint32_t>(node.bytes->size());
    }
    struct stat st {};
    if (::stat(node.source.c_str(), &st) != 0) {
        return sourceError(node,
                           std::string("cannot read the source file: ") + std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        return sourceError(node, "the source is not a regular file");
    }
    if (std::uint64_t(st.st_size) > kMaxOffset) {
        return sourceError(node, "larger than 4 GiB");
    }
    return static_cast<std::uint32_t>(st.st_size);
}

std::uint32_t chunkCount(std::uint32_t size) {
    return static_cast<std::uint32_t>((std::uint64_t(size) + kChunkSize - 1) / kChunkSize);
}

} // namespace

Status packArchive(const PackNode& root, const std::filesystem::path& target, Method method,
                   const PackProgressFn& progress, unsigned threads) {
    auto withTarget = [&target](Error e) {
        if (e.file.empty()) {
            e.file = target.string();
        }
        return e;
    };
    if (static_cast<unsigned>(method) > 2) {
        return withTarget(
            fail("unknown compression method " + std::to_string(static_cast<unsigned>(method))));
    }
    auto layoutResult = layOut(root);
    if (!layoutResult) {
        return withTarget(std::move(layoutResult).error());
    }
    Layout& layout = layoutResult.value();

    // Every source must be there before anything is written.
    std::vector<SourceFile> files;
    files.reserve(layout.files.size());
    std::uint64_t totalBytes = 0;
    struct Job {
        std::uint32_t file;
        std::uint32_t chunk;
    };
    std::vector<Job> jobs;
    for (const LayoutFile& lf : layout.files) {
        auto size = sizeOf(*lf.node);
        if (!size) {
            return std::move(size).error();
        }
        const auto index = static_cast<std::uint32_t>(files.size());
        files.push_back({lf.node, size.value()});
        totalBytes += size.value();
        if (method != Method::None) {
            for (std::uint32_t c = 0; c < chunkCount(size.value()); ++c) {
                jobs.push_back({index, c});
            }
        }
    }

    auto created = AtomicFile::create(target, 1u << 20, AtomicFile::Link::Follow);
    if (!created) {
        return std::move(created).error();
    }
    AtomicFile& out = created.value();
    if (auto st = out.writeZeros(layout.dirEnd); !st) {
        return st;
    }

    ChunkPipeline pipeline(
        jobs.size(), threads, [&](std::size_t j, std::vector<std::uint8_t>& chunk) -> Status {
            const Job job = jobs[j];
            const SourceFile& f = files[job.file];
            const std::uint64_t at = std::uint64_t(job.chunk) * kChunkSize;
            const auto n =
                static_cast<std::size_t>(std::min<std::uint64_t>(kChunkSize, f.size - at));
            std::vector<std::uint8_t> input(n);
            if (auto st = readSource(*f.node, at, input); !st) {
                return st;
            }
            encodeChunk(method, input, chunk);
            return {};
        });

    PackProgress p;
    p.filesTotal = static_cast<std::uint32_t>(files.size());
    p.archiveTotal = totalBytes;
    auto report = [&] {
        if (progress) {
            progress(p);
        }
    };
    const std::uint8_t methodByte = static_cast<std::uint8_t>(method);
    std::vector<std::uint8_t> chunk;
    std::vector<std::uint8_t> piece;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const SourceFile& f = files[i];
        p.file = f.node->path;
        p.fileDone = 0;
        p.fileTotal = f.size;
        report();
        const std::uint64_t payloadAt = out.position();
        if (payloadAt > kMaxOffset) {
            return withTarget(fail("the archive would exceed 4 GiB"));
        }
        if (f.size > 0 && method == Method::None) {
            piece.resize(std::min<std::uint32_t>(f.size, 1u << 20));
            for (std::uint64_t done = 0; done < f.size;) {
                const auto n =
                    static_cast<std::size_t>(std::min<std::uint64_t>(piece.size(), f.size - done));
                std::span<std::uint8_t> part(piece.data(), n);
                if (auto st = readSource(*f.node, done, part); !st) {
                    return st;
                }
                if (auto st = out.write(part); !st) {
                    return st;
                }
                done += n;
                p.fileDone = done;
                p.archiveDone += n;
                report();
            }
        } else if (f.size > 0) {
            const std::uint32_t n = chunkCount(f.size);
            std::vector<std::uint8_t> table(4ull * n);
            if (auto st = out.writeZeros(table.size()); !st) {
                return st;
            }
            for (std::uint32_t c = 0; c < n; ++c) {
                if (auto st = pipeline.next(chunk); !st) {
                    return st;
                }
                storeU32(table.data() + 4ull * c, static_cast<std::uint32_t>(chunk.size()));
                if (auto st = out.write(chunk); !st) {
                    return st;
                }
                const std::uint32_t produced = loadU32(chunk.data() + 11);
                p.fileDone += produced;
                p.archiveDone += produced;
                report();
            }
            if (auto st = out.patch(payloadAt, table); !st) {
                return st;
            }
        }
        setFileRecord(layout, layout.files[i], static_cast<std::uint32_t>(payloadAt), f.size,
                      methodByte);
        ++p.filesDone;
        report();
    }
    if (out.position() > kMaxOffset) {
        return withTarget(fail("the archive would exceed 4 GiB"));
    }
    if (auto st = out.write(kTrailer); !st) {
        return st;
    }
    std::uint8_t header[kHeaderSize];
    std::memcpy(header, "HAPI", 4);
    storeU32(header + 4, kVersion1);
    storeU32(header + 8, layout.dirEnd);
    storeU32(header + 12, 0);
    storeU32(header + 16, kRootOffset);
    if (auto st = out.patch(0, header); !st) {
        return st;
    }
    if (auto st = out.patch(kHeaderSize, layout.block); !st) {
        return st;
    }
    return out.commit(true);
}

} // namespace hpiutil
