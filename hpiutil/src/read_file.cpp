// Reading one member: stored bytes, or the chunk table and its SQSH chunks.
#include "archive_impl.hpp"
#include "hpiutil/chunk.hpp"
#include "hpiutil/format.hpp"

#include <algorithm>
#include <optional>
#include <string>

namespace hpiutil {

namespace {

constexpr std::uint32_t kStoredPiece = 1u << 16;

void note(std::vector<Problem>* notes, const Entry& file, std::int64_t offset, std::string what) {
    if (notes) {
        notes->push_back({Problem::Severity::Warning, file.path, offset, std::move(what)});
    }
}

// The buffers of one file's read, kept by each thread from one file to the
// next, so a tree of small files costs no allocation and no clearing of a
// chunk-sized buffer per file. A read started from inside another one's
// sink on the same thread gets buffers of its own.
class ChunkBuffers {
    struct Set {
        std::vector<std::uint8_t> table, stored, out;
        bool busy = false;
    };
    static Set& kept() {
        thread_local Set set;
        return set;
    }
    Set fresh_;
    Set& own_;

public:
    ChunkBuffers() : own_(kept().busy ? fresh_ : kept()) { own_.busy = true; }
    ~ChunkBuffers() { own_.busy = false; }
    ChunkBuffers(const ChunkBuffers&) = delete;
    ChunkBuffers& operator=(const ChunkBuffers&) = delete;

    std::vector<std::uint8_t>& table() { return own_.table; }
    std::vector<std::uint8_t>& stored() { return own_.stored; }
    std::vector<std::uint8_t>& out() { return own_.out; }
};

} // namespace

Status Archive::Impl::readFile(const Entry& file,
                               const std::function<Status(std::span<const std::uint8_t>)>& sink,
                               std::vector<Problem>* notes, std::uint32_t* chunks) const {
    auto failed = [&](Error e) -> Status { return locate(std::move(e), &file); };
    if (file.directory) {
        return failed(fail("is a directory"));
    }
    const std::uint64_t fileSize = source->size();
    if (file.size == 0) {
        return {};
    }
    if (file.method == 0) {
        if (std::uint64_t(file.dataOffset) + file.size > fileSize) {
            return failed(fail("stored data of " + std::to_string(file.size) +
                                   " bytes runs past the end of the file",
                               file.dataOffset));
        }
        std::vector<std::uint8_t> buf(std::min(file.size, kStoredPiece));
        for (std::uint64_t done = 0; done < file.size;) {
            const auto n =
                static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), file.size - done));
            std::span<std::uint8_t> piece(buf.data(), n);
            if (auto st = readPlain(file.dataOffset + done, piece); !st) {
                return failed(std::move(st).error());
            }
            if (auto st = sink(piece); !st) {
                return st;
            }
            done += n;
        }
        return {};
    }

    const auto n =
        static_cast<std::uint32_t>((std::uint64_t(file.size) + kChunkSize - 1) / kChunkSize);
    const std::uint64_t tableEnd = std::uint64_t(file.dataOffset) + 4ull * n;
    if (tableEnd > fileSize) {
        return failed(
            fail("chunk table of " + std::to_string(n) + " entries runs past the end of the file",
                 file.dataOffset));
    }
    ChunkBuffers buffers;
    std::vector<std::uint8_t>& table = buffers.table();
    table.resize(4ull * n);
    if (auto st = readPlain(file.dataOffset, table); !st) {
        return failed(std::move(st).error());
    }
    std::vector<std::uint8_t>& stored = buffers.stored();
    std::vector<std::uint8_t>& out = buffers.out();
    out.resize(kChunkSize);
    std::uint64_t tablePos = tableEnd; // where the chunk table says chunk i starts
    std::uint64_t seqPos = tableEnd;   // where the previous header says it starts
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t expected =
            i + 1 < n ? kChunkSize : file.size - std::uint32_t(i) * kChunkSize;
        const std::uint32_t listed = loadU32(table.data() + 4ull * i);
        std::uint64_t pos = tablePos;
        std::uint8_t head[kChunkHeaderSize];
        std::size_t payloadBegin = 0; // where the payload starts in `stored`
        std::optional<ChunkHeader> header;
        // Fast path: the table is exact, so one read brings header and payload.
        if (listed >= kChunkHeaderSize && listed <= kChunkHeaderSize + 2 * kChunkSize &&
            pos + listed <= fileSize) {
            stored.resize(listed);
            if (auto st = readPlain(pos, stored); !st) {
                return failed(std::move(st).error());
            }
            auto h = parseChunkHeader(stored);
            if (h && std::uint64_t(h->compressedSize) + kChunkHeaderSize == listed) {
                header = h.value();
                payloadBegin = kChunkHeaderSize;
            }
        }
        if (!header) {
            auto readHeader = [&](std::uint64_t at) -> Result<ChunkHeader> {
                if (at + kChunkHeaderSize > fileSize) {
                    return fail("chunk header runs past the end of the file", std::int64_t(at));
                }
                if (auto st = readPlain(at, head); !st) {
                    return std::move(st).error();
                }
                auto h = parseChunkHeader(head);
                if (!h) {
                    Error e = std::move(h).error();
                    e.offset = std::int64_t(at);
                    return e;
                }
                return h;
            };
            auto h = readHeader(pos);
            if (!h && seqPos != tablePos) {
                // Some writers get the table wrong; the headers in sequence
                // still lead to the chunk.
                auto retry = readHeader(seqPos);
                if (retry) {
                    note(notes, file, std::int64_t(tablePos),
                         "chunk " + std::to_string(i) + " is not where the chunk table puts it");
                    pos = seqPos;
                    h = std::move(retry);
                }
            }
            if (!h) {
                return failed(std::move(h).error());
            }
            header = h.value();
            const std::uint64_t payloadAt = pos + kChunkHeaderSize;
            if (header->compressedSize > fileSize - payloadAt) {
                return failed(fail("chunk " + std::to_string(i) + " of " +
                                       std::to_string(header->compressedSize) +
                                       " bytes runs past the end of the file",
                                   std::int64_t(pos)));
            }
            if (header->uncompressedSize == expected) {
                stored.resize(header->compressedSize);
                if (auto st = readPlain(payloadAt, stored); !st) {
                    return failed(std::move(st).error());
                }
            }
            payloadBegin = 0;
        }
        const ChunkHeader& h = *header;
        if (h.uncompressedSize != expected) {
            return failed(fail("chunk " + std::to_string(i) + " holds " +
                                   std::to_string(h.uncompressedSize) + " bytes, not " +
                                   std::to_string(expected),
                               std::int64_t(pos)));
        }
        const std::uint64_t payloadAt = pos + kChunkHeaderSize;
        if (std::uint64_t(listed) != kChunkHeaderSize + std::uint64_t(h.compressedSize)) {
            note(notes, file, std::int64_t(file.dataOffset + 4ull * i),
                 "chunk table lists " + std::to_string(listed) + " bytes for chunk " +
                     std::to_string(i) + ", its header " +
                     std::to_string(kChunkHeaderSize + h.compressedSize));
        }
        if (notes && h.method != file.method) {
            note(notes, file, std::int64_t(pos),
                 "chunk " + std::to_string(i) + " uses method " + std::to_string(h.method) +
                     ", the file record says " + std::to_string(file.method));
        }
        std::span<std::uint8_t> payload(stored.data() + payloadBegin, h.compressedSize);
        ChunkNotes cn;
        std::span<std::uint8_t> produced(out.data(), expected);
        if (auto st = decodeChunk(h, payload, produced, &cn); !st) {
            Error e = std::move(st).error();
            e.what = "chunk " + std::to_string(i) + ": " + e.what;
            e.offset = std::int64_t(pos);
            return failed(std::move(e));
        }
        if (cn.storedMethod) {
            note(notes, file, std::int64_t(pos),
                 "chunk " + std::to_string(i) + " is stored (method 0), which the game refuses");
        }
        if (cn.trailingBytes) {
            note(notes, file, std::int64_t(pos),
                 "chunk " + std::to_string(i) + " has bytes after its ZLIB stream");
        }
        if (chunks) {
            ++*chunks;
        }
        if (auto st = sink(produced); !st) {
            return st;
        }
        tablePos += listed;
        seqPos = payloadAt + h.compressedSize;
    }
    return {};
}

} // namespace hpiutil
