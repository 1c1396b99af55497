// The floor the archive benchmarks hold our library to: one thread that does
// the least a correct extraction must do, as a programmer would write it from
// the format notes alone.
#pragma once

#include <filesystem>

namespace bench {

// Extracts every file of a ZLIB archive without cipher below `dest`: reads
// each chunk table and chunk with one read, undoes the inner encoding,
// inflates with zlib's uncompress and writes each file with one write.
// Returns the number of files written.
std::size_t floorExtract(const std::filesystem::path& archive, const std::filesystem::path& dest);

// Inflates every chunk of the archive's files, one after the other, and
// returns the bytes produced (the floor of a verify).
std::size_t floorInflate(const std::filesystem::path& archive);

} // namespace bench
