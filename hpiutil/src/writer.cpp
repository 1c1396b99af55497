#include "hpiutil/codepage.hpp"
#include "hpiutil/paths.hpp"
#include "writer_impl.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hpiutil {

namespace {

Error badPath(std::string_view path, std::string what) {
    Error e = fail(std::move(what));
    e.member = std::string(path);
    return e;
}

} // namespace

ArchiveWriter::ArchiveWriter() : impl_(std::make_unique<Impl>()) {}
ArchiveWriter::ArchiveWriter(ArchiveWriter&&) noexcept = default;
ArchiveWriter& ArchiveWriter::operator=(ArchiveWriter&&) noexcept = default;
ArchiveWriter::~ArchiveWriter() = default;

Status ArchiveWriter::validateName(std::string_view c) {
    if (c.empty()) {
        return fail("a name component is empty");
    }
    if (c == "." || c == "..") {
        return fail("\"" + std::string(c) + "\" is not a valid name");
    }
    for (char ch : c) {
        const auto u = static_cast<unsigned char>(ch);
        if (u < 0x20 || u == 0x7F) {
            return fail("\"" + std::string(c) + "\" holds a control character");
        }
        switch (ch) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|':
            return fail("\"" + std::string(c) + "\" holds '" + std::string(1, ch) +
                        "', which archive names cannot hold");
        default:
            break;
        }
    }
    if (!utf8ToCp1252(c)) {
        return fail("\"" + std::string(c) + "\" holds a character Windows-1252 cannot represent");
    }
    return {};
}

namespace {

// Finds or makes the node for `path`; `leafDirectory` tells what the last
// component must be. `created` says whether the leaf is new.
Result<PackNode*> place(PackNode& root, std::string_view path, bool leafDirectory, bool& created) {
    created = false;
    if (path.empty()) {
        return badPath(path, "the archive name is empty");
    }
    auto parts = splitMemberPath(path);
    // Every component first: a refused path must not leave the folders
    // before its bad component queued.
    for (std::string_view part : parts) {
        if (auto st = ArchiveWriter::validateName(part); !st) {
            return badPath(path, st.error().what);
        }
    }
    PackNode* dir = &root;
    std::string sofar;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string raw = *utf8ToCp1252(parts[i]);
        sofar += (sofar.empty() ? "" : "\\") + std::string(parts[i]);
        const bool last = i + 1 == parts.size();
        const bool wantDir = !last || leafDirectory;
        auto key = foldedName(raw);
        auto it = dir->byFoldedName.find(key);
        if (it != dir->byFoldedName.end()) {
            PackNode* existing = it->second;
            if (existing->directory != wantDir || (last && !wantDir)) {
                return badPath(path, "\"" + existing->path + "\" is already queued" +
                                         (existing->directory ? " as a directory" : ""));
            }
            dir = existing;
            continue;
        }
        auto node = std::make_unique<PackNode>();
        node->raw = raw;
        node->path = sofar;
        node->directory = wantDir;
        PackNode* made = node.get();
        dir->byFoldedName.emplace(std::move(key), made);
        dir->children.push_back(std::move(node));
        dir = made;
        created = last;
    }
    return dir;
}

} // namespace

namespace {

// A source file is opened once when it is queued, so one that cannot be read
// is refused with its reason then, and the caller can report it and pack the
// rest instead of failing the whole archive at the end.
Status readableSource(std::string_view archivePath, const std::filesystem::path& source) {
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    std::string why;
    if (fd < 0) {
        why = std::strerror(errno);
    } else {
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            why = std::strerror(errno);
        } else if (!S_ISREG(st.st_mode)) {
            why = "not a regular file";
        }
        ::close(fd);
    }
    if (why.empty()) {
        return {};
    }
    Error e = badPath(archivePath, "cannot read the source file: " + why);
    e.file = source.string();
    return e;
}

} // namespace

Status ArchiveWriter::addFile(std::string_view archivePath, const std::filesystem::path& source) {
    if (auto st = readableSource(archivePath, source); !st) {
        return st;
    }
    bool created = false;
    auto node = place(impl_->root, archivePath, false, created);
    if (!node) {
        return std::move(node).error();
    }
    node.value()->source = source;
    ++impl_->files;
    return {};
}

Status ArchiveWriter::addBuffer(std::string_view archivePath, std::vector<std::uint8_t> bytes) {
    bool created = false;
    auto node = place(impl_->root, archivePath, false, created);
    if (!node) {
        return std::move(node).error();
    }
    node.value()->bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes));
    ++impl_->files;
    return {};
}

Status ArchiveWriter::addDirectory(std::string_view archivePath) {
    bool created = false;
    auto node = place(impl_->root, archivePath, true, created);
    if (!node) {
        return std::move(node).error();
    }
    return {};
}

std::uint32_t ArchiveWriter::fileCount() const {
    return impl_->files;
}

Status ArchiveWriter::write(const std::filesystem::path& target, Method method,
                            const PackProgressFn& progress, unsigned threads) const {
    return packArchive(impl_->root, target, method, progress, threads);
}

} // namespace hpiutil
