// Writes v1 archives byte by byte with any names at all (empty, ".", "..",
// holding '\', thousands of bytes long), which the library's writer refuses:
// the hostile fixtures of the reader's tests. Key 0, the canonical layout,
// files stored (method 0), the trailer at the end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

struct RawHpiNode {
    std::string name; // the name's bytes exactly as stored
    bool directory = false;
    std::vector<std::uint8_t> data;   // a file's bytes
    std::vector<RawHpiNode> children; // a directory's entries, in this order
};

RawHpiNode rawFile(std::string name, std::string_view text);
RawHpiNode rawDir(std::string name, std::vector<RawHpiNode> children);

// The archive whose root holds `root`.
std::vector<std::uint8_t> makeRawHpi(const std::vector<RawHpiNode>& root);

} // namespace testsupport
