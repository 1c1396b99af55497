#include "hpiutil/source.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hpiutil {

namespace {

class FileSource final : public ByteSource {
public:
    FileSource(int fd, std::uint64_t size, std::string name)
        : fd_(fd), size_(size), name_(std::move(name)) {}
    ~FileSource() override { ::close(fd_); }

    std::uint64_t size() const override { return size_; }
    const std::string& name() const override { return name_; }

    Status readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        if (offset > size_ || out.size() > size_ - offset) {
            return fail("read of " + std::to_string(out.size()) + " bytes past the end of the file",
                        std::int64_t(offset));
        }
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n =
                ::pread(fd_, out.data() + done, out.size() - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return fail(n < 0 ? std::string("read failed: ") + std::strerror(errno)
                                  : std::string("file is shorter than expected"),
                            std::int64_t(offset + done));
            }
            done += std::size_t(n);
        }
        return {};
    }

private:
    int fd_;
    std::uint64_t size_;
    std::string name_;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(std::vector<std::uint8_t> bytes, std::string name)
        : bytes_(std::move(bytes)), name_(std::move(name)) {}

    std::uint64_t size() const override { return bytes_.size(); }
    const std::string& name() const override { return name_; }

    Status readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        if (offset > bytes_.size() || out.size() > bytes_.size() - offset) {
            return fail("read of " + std::to_string(out.size()) + " bytes past the end of the file",
                        std::int64_t(offset));
        }
        if (!out.empty()) {
            std::memcpy(out.data(), bytes_.data() + offset, out.size());
        }
        return {};
    }

private:
    std::vector<std::uint8_t> bytes_;
    std::string name_;
};

} // namespace

Result<std::unique_ptr<ByteSource>> ByteSource::openFile(const std::filesystem::path& path) {
    const std::string name = path.string();
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        Error e = fail(std::string("cannot open: ") + std::strerror(errno));
        e.file = name;
        return e;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        Error e = fail("not a regular file");
        e.file = name;
        return e;
    }
    return std::unique_ptr<ByteSource>(new FileSource(fd, std::uint64_t(st.st_size), name));
}

std::unique_ptr<ByteSource> ByteSource::fromMemory(std::vector<std::uint8_t> bytes,
                                                   std::string name) {
    return std::make_unique<MemorySource>(std::move(bytes), std::move(name));
}

} // namespace hpiutil
