// Builds a tree of folders and files from the input, packs it with each
// method (stored, LZ77, ZLIB) and reads it back: every entry the writer
// accepted is there once, as a folder or with its bytes exactly, nothing
// else is, and verify finds nothing to report. Any difference is a bug.
#include "hpiutil/archive.hpp"
#include "hpiutil/codepage.hpp"
#include "hpiutil/writer.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool more() const { return pos_ < size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::vector<std::uint8_t> take(std::size_t n) {
        n = std::min(n, size_ - pos_);
        std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + n);
        pos_ += n;
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// ASCII mostly; bytes from 0x80 become letters Windows-1252 folds ("é"/"É").
std::string nameFrom(const std::vector<std::uint8_t>& bytes) {
    std::string name;
    for (std::uint8_t b : bytes) {
        if (b < 0x80) {
            name += char(b);
        } else {
            name += (b & 1) ? "\xC3\xA9" : "\xC3\x89";
        }
    }
    return name;
}

std::string keyOf(const std::string& path) {
    return hpiutil::foldedName(*hpiutil::utf8ToCp1252(path));
}

struct Expected {
    bool directory = false;
    std::vector<std::uint8_t> bytes;
};

const std::filesystem::path& scratch() {
    static const std::filesystem::path p = [] {
        const std::filesystem::path shm = "/dev/shm";
        std::error_code ec;
        const auto dir =
            std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
        return dir / ("fuzz_hpi_roundtrip-" + std::to_string(::getpid()) + ".hpi");
    }();
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    hpiutil::ArchiveWriter writer;
    std::vector<std::string> dirs{""};
    std::map<std::string, Expected> expected; // by folded path
    bool bigFile = false;
    for (int added = 0; in.more() && added < 48; ++added) {
        const std::uint8_t op = in.byte();
        const std::string parent = dirs[in.byte() % dirs.size()];
        const std::string name = nameFrom(in.take(1 + in.byte() % 12));
        const std::string path = parent.empty() ? name : parent + "\\" + name;
        Expected e;
        e.directory = (op & 1) != 0;
        if (e.directory) {
            if (!writer.addDirectory(path)) {
                continue;
            }
            dirs.push_back(path);
        } else {
            const std::uint8_t length = in.byte();
            if (length < 200) {
                e.bytes = in.take(length);
            } else {
                // Two or more chunks (at most one such file an input, to keep
                // the runs quick): a short pattern from the input, varied.
                const auto pattern = in.take(1 + (op >> 1) % 8);
                const std::size_t n = bigFile ? 0 : std::size_t(length - 199) * 2731;
                bigFile = true;
                for (std::size_t i = 0; !pattern.empty() && i < n; ++i) {
                    e.bytes.push_back(std::uint8_t(pattern[i % pattern.size()] + (i >> 12)));
                }
            }
            if (!writer.addBuffer(path, e.bytes)) {
                continue;
            }
        }
        // The folders on the way exist too.
        for (std::size_t sep = path.find('\\'); sep != std::string::npos;
             sep = path.find('\\', sep + 1)) {
            expected.try_emplace(keyOf(path.substr(0, sep)), Expected{true, {}});
        }
        expected[keyOf(path)] = std::move(e);
    }

    for (auto method : {hpiutil::Method::None, hpiutil::Method::Lz77, hpiutil::Method::Zlib}) {
        if (!writer.write(scratch(), method, {}, 1)) {
            __builtin_trap();
        }
        auto archive = hpiutil::Archive::open(scratch());
        if (!archive || archive->entries().size() != expected.size()) {
            __builtin_trap();
        }
        for (const auto& entry : archive->entries()) {
            const auto it = expected.find(keyOf(entry.path));
            if (it == expected.end() || it->second.directory != entry.directory) {
                __builtin_trap();
            }
            if (!entry.directory) {
                auto bytes = archive->readAll(entry);
                if (!bytes || bytes.value() != it->second.bytes) {
                    __builtin_trap();
                }
            }
            const auto found = archive->find(entry.path);
            if (!found || &archive->entries()[std::size_t(*found)] != &entry) {
                __builtin_trap();
            }
        }
        if (!archive->verify().problems.empty()) {
            __builtin_trap();
        }
    }
    std::filesystem::remove(scratch());
    return 0;
}
