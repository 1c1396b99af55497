// Data the archive benchmarks share: a generated tree of mixed
// compressibility, written to disk once per run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

struct TreeFile {
    std::string member; // archive path
    std::filesystem::path disk;
    std::vector<std::uint8_t> bytes;
};

// About `totalBytes` in a few thousand files: a quarter random, a quarter
// runs and tables, half text-like.
std::vector<TreeFile> mixedTree(std::size_t totalBytes, const std::filesystem::path& root);

// A scratch folder removed at exit.
std::filesystem::path scratch(const std::string& name);
// Removes `path` (and all below it) at exit.
void removeAtExit(const std::filesystem::path& path);

// Peak resident memory of the process so far, in MiB.
double peakMiB();

} // namespace bench
