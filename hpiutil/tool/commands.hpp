// The hpi tool's commands. Each returns the exit code: 0 success, 1 failure,
// 2 usage error.
#pragma once

#include "hpiutil/result.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace hpitool {

using Args = std::vector<std::string>;

int list(const Args& args);
int extract(const Args& args);
int cat(const Args& args);
int pack(const Args& args);
int verify(const Args& args);
int info(const Args& args);

// Prints the usage text to standard output (help) or standard error (misuse).
void usage(bool toStderr);
// "hpi: " + message on standard error; returns `code`.
int complain(const std::string& message, int code);
// Streams member bytes to standard output; fails when the output does not take them.
hpiutil::Status WriteToStandardOutput(std::span<const std::uint8_t> bytes);

} // namespace hpitool
