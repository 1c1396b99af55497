#include "testsupport/testsupport.hpp"

#include "common/sha256.hpp"

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "toolkit-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Folders a test made read-only must become writable again to be removed.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string readText(const fs::path& path) {
    const auto bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& path, std::span<const std::uint8_t> bytes) {
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void writeFile(const fs::path& path, std::string_view text) {
    writeFile(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string sha256Hex(std::span<const std::uint8_t> bytes) {
    return common::sha256Hex(bytes);
}

namespace {

fs::path sharedDirPath() {
    const char* env = std::getenv("TOOLKIT_SHARED_DIR");
    return env && *env ? fs::path(env) : fs::path(TOOLKIT_DEFAULT_SHARED_DIR);
}

} // namespace

fs::path realFilePath(std::string_view relative) {
    return sharedDirPath() / "data" / "real" / relative;
}

std::optional<fs::path> sharedDir() {
    fs::path dir = sharedDirPath();
    std::error_code ec;
    if (fs::is_directory(dir, ec)) {
        return dir;
    }
    return std::nullopt;
}

std::optional<fs::path> realFile(std::string_view relative) {
    auto dir = sharedDir();
    if (!dir) {
        return std::nullopt;
    }
    fs::path p = *dir / "data" / "real" / relative;
    std::error_code ec;
    if (fs::exists(p, ec)) {
        return p;
    }
    return std::nullopt;
}

std::vector<std::uint8_t> randomBytes(std::size_t n, std::uint64_t seed) {
    std::vector<std::uint8_t> out(n);
    std::uint64_t x = seed * 0x9E3779B97F4A7C15ULL + 1;
    for (auto& b : out) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        b = static_cast<std::uint8_t>(x >> 24);
    }
    return out;
}

std::vector<std::uint8_t> fromHex(std::string_view hex) {
    std::vector<std::uint8_t> out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else {
            continue;
        }
        if (nibble < 0) {
            nibble = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(nibble * 16 + v));
            nibble = -1;
        }
    }
    return out;
}

} // namespace testsupport
