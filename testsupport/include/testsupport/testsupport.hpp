// Test helpers: every test works in its own temporary folder and never
// touches a path outside it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view child) const { return path_ / child; }

private:
    std::filesystem::path path_;
};

std::vector<std::uint8_t> readFile(const std::filesystem::path& path);
// The whole file as text; throws as readFile does.
std::string readText(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
void writeFile(const std::filesystem::path& path, std::string_view text);

// Lowercase hex SHA-256 of the bytes.
std::string sha256Hex(std::span<const std::uint8_t> bytes);

// The shared data folder ($TOOLKIT_SHARED_DIR, else the build's default), or
// empty when it does not exist.
std::optional<std::filesystem::path> sharedDir();
// <shared>/data/real/<relative>, or empty when absent.
std::optional<std::filesystem::path> realFile(std::string_view relative);
// Where realFile() looks for <relative>, whether or not it is there (for
// messages that say what is missing).
std::filesystem::path realFilePath(std::string_view relative);

// Deterministic pseudo-random bytes (xorshift), for incompressible data.
std::vector<std::uint8_t> randomBytes(std::size_t n, std::uint64_t seed);

// Bytes from a hex string such as "48 41 50 49"; spaces and newlines ignored.
std::vector<std::uint8_t> fromHex(std::string_view hex);

} // namespace testsupport

// Skips the current test, saying why, when the real-file data is absent.
#define TOOLKIT_REQUIRE_REAL(rel, var)                                                             \
    auto var##_opt = ::testsupport::realFile(rel);                                                 \
    if (!var##_opt) {                                                                              \
        GTEST_SKIP() << "real test data not found: " << (rel);                                     \
    }                                                                                              \
    const std::filesystem::path var = *var##_opt
