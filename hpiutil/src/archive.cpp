#include "archive_impl.hpp"
#include "atomic_file.hpp"
#include "hpiutil/chunk.hpp"
#include "hpiutil/codepage.hpp"
#include "hpiutil/format.hpp"
#include "hpiutil/paths.hpp"

#include <algorithm>
#include <cstring>

namespace hpiutil {

Error Archive::Impl::locate(Error e, const Entry* member) const {
    if (e.file.empty() && source) {
        e.file = source->name();
    }
    if (e.member.empty() && member) {
        e.member = member->path;
    }
    return e;
}

Status Archive::Impl::readPlain(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (auto st = source->readAt(offset, out); !st) {
        return st;
    }
    applyCipher(cipher, offset, out);
    return {};
}

Result<Archive> Archive::open(const std::filesystem::path& path) {
    auto src = ByteSource::openFile(path);
    if (!src) {
        return std::move(src).error();
    }
    return fromSource(std::move(src.value()));
}

Result<Archive> Archive::fromMemory(std::vector<std::uint8_t> bytes, std::string name) {
    return fromSource(ByteSource::fromMemory(std::move(bytes), std::move(name)));
}

Result<Archive> Archive::fromSource(std::unique_ptr<ByteSource> source) {
    auto impl = std::make_unique<Impl>();
    impl->source = std::move(source);
    auto failed = [&impl](Error e) { return impl->locate(std::move(e), nullptr); };
    const std::uint64_t size = impl->source->size();
    impl->info.fileSize = size;
    if (size < kHeaderSize) {
        return failed(
            fail("file is too short to be an archive (" + std::to_string(size) + " bytes)"));
    }
    std::uint8_t header[kHeaderSize];
    if (auto st = impl->source->readAt(0, header); !st) {
        return failed(std::move(st).error());
    }
    if (std::memcmp(header, "HAPI", 4) != 0) {
        return failed(fail("not an archive: it does not start with HAPI"));
    }
    const std::uint32_t version = loadU32(header + 4);
    if (std::memcmp(header + 4, "BANK", 4) == 0) {
        return failed(fail("not an archive: a HAPIBANK record store"));
    }
    if (version == kVersion2) {
        return failed(fail("version 2 archives are not supported"));
    }
    if (version != kVersion1) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "unknown archive version 0x%08x", version);
        return failed(fail(buf, 4));
    }
    ArchiveInfo& info = impl->info;
    info.version = version;
    info.dirEnd = loadU32(header + 8);
    info.headerKey = loadU32(header + 12);
    info.dirStart = loadU32(header + 16);
    impl->cipher = cipherByte(info.headerKey);
    if (info.dirStart < kHeaderSize ||
        std::uint64_t(info.dirStart) + kDirRecordSize > info.dirEnd) {
        return failed(fail("root directory offset " + std::to_string(info.dirStart) +
                               " lies outside the directory block",
                           16));
    }
    if (info.dirEnd > size) {
        return failed(fail("directory block ends at " + std::to_string(info.dirEnd) +
                               ", past the end of the file (" + std::to_string(size) + " bytes)",
                           8));
    }
    if (info.dirEnd > kMaxDirectoryBlock) {
        return failed(fail("directory block is larger than 512 MiB", 8));
    }
    if (size >= kTrailerSize) {
        std::uint8_t tail[kTrailerSize];
        if (impl->source->readAt(size - kTrailerSize, tail)) {
            info.trailer = isTrailer(tail);
        }
    }
    std::vector<std::uint8_t> block(info.dirEnd);
    if (auto st = impl->readPlain(0, block); !st) {
        return failed(std::move(st).error());
    }
    if (auto st = parseDirectory(*impl, block); !st) {
        return failed(std::move(st).error());
    }
    return Archive(std::move(impl));
}

Archive::Archive(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Archive::Archive(Archive&&) noexcept = default;
Archive& Archive::operator=(Archive&&) noexcept = default;
Archive::~Archive() = default;

const ArchiveInfo& Archive::info() const {
    return impl_->info;
}
const std::string& Archive::name() const {
    return impl_->source->name();
}
const std::vector<Entry>& Archive::entries() const {
    return impl_->entries;
}

std::span<const std::uint32_t> Archive::children(std::int32_t dir) const {
    if (dir < 0) {
        return std::span(impl_->childList).subspan(impl_->rootBegin, impl_->rootCount);
    }
    if (std::size_t(dir) >= impl_->entries.size() || !impl_->entries[dir].directory) {
        return {};
    }
    const Entry& e = impl_->entries[dir];
    return std::span(impl_->childList).subspan(e.childBegin, e.childCount);
}

std::optional<std::int32_t> Archive::find(std::string_view path) const {
    while (!path.empty() && path.front() == '\\') {
        path.remove_prefix(1);
    }
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    if (path.empty()) {
        return -1;
    }
    auto raw = utf8ToCp1252(path);
    if (!raw) {
        return std::nullopt;
    }
    std::int32_t current = -1;
    for (std::string_view part : splitMemberPath(*raw)) {
        // Never through a folder named "", "." or "..": its members would
        // alias paths of its parent or of other folders.
        if (part.empty() || part == "." || part == "..") {
            return std::nullopt;
        }
        if (current >= 0 && !impl_->entries[current].directory) {
            return std::nullopt;
        }
        std::int32_t found = -1;
        for (std::uint32_t child : children(current)) {
            if (equalsFolded(impl_->entries[child].rawName, part)) {
                found = std::int32_t(child);
                break;
            }
        }
        if (found < 0) {
            return std::nullopt;
        }
        current = found;
    }
    return current;
}

Result<std::span<const std::uint32_t>> Archive::list(std::string_view path) const {
    auto found = find(path);
    if (!found || (*found >= 0 && !impl_->entries[*found].directory)) {
        Error e = fail("no such directory in the archive");
        e.member = std::string(path);
        return impl_->locate(std::move(e), nullptr);
    }
    return children(*found);
}

Status Archive::read(const Entry& file,
                     const std::function<Status(std::span<const std::uint8_t>)>& sink) const {
    return impl_->readFile(file, sink, nullptr, nullptr);
}

Result<std::vector<std::uint8_t>> Archive::readAll(const Entry& file) const {
    std::vector<std::uint8_t> out;
    if (!file.directory) {
        // The declared size is not trusted with a large allocation before the
        // data proves it; beyond this the vector grows as chunks arrive.
        out.reserve(std::min<std::uint32_t>(file.size, 64u << 20));
    }
    auto st = read(file, [&out](std::span<const std::uint8_t> bytes) -> Status {
        out.insert(out.end(), bytes.begin(), bytes.end());
        return {};
    });
    if (!st) {
        return std::move(st).error();
    }
    return out;
}

Status Archive::extractTo(const Entry& file, const std::filesystem::path& destination) const {
    if (file.directory) {
        return impl_->locate(fail("is a directory"), &file);
    }
    // A new file is written in place, which costs half the folder updates of
    // a temporary file and a rename, and is removed again if anything fails.
    // Creating it is also the test for a file already there.
    auto created = DirectFile::create(destination);
    std::error_code ec;
    if (!created && std::filesystem::exists(destination, ec)) {
        // Replace an existing file only once the new one is complete.
        auto out = AtomicFile::create(destination, 0);
        if (!out) {
            return std::move(out).error();
        }
        AtomicFile& f = out.value();
        auto st = read(file, [&f](std::span<const std::uint8_t> bytes) { return f.write(bytes); });
        if (!st) {
            return st;
        }
        return f.commit(false);
    }
    if (!created) {
        return std::move(created).error();
    }
    DirectFile& f = created.value();
    auto st = read(file, [&f](std::span<const std::uint8_t> bytes) { return f.write(bytes); });
    if (!st) {
        return st;
    }
    return f.finish();
}

} // namespace hpiutil
