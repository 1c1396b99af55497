// The LZ77 variant of chunk method 1: a 4096-byte window addressed by
// absolute slot, output byte k living in slot (k + 1) mod 4096, tokens in
// groups of eight behind a tag byte read least-significant bit first, and a
// reference to slot 0 ending the stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hpiutil/result.hpp"

namespace hpiutil::lz77 {

// Largest stream the compressor emits for n input bytes.
constexpr std::size_t worstCaseSize(std::size_t n) {
    return n + (n + 1 + 7) / 8 + 2;
}

// Compresses `input` (at most one chunk) into `out`, replacing its contents.
// Never refers to slot 0 and never exceeds worstCaseSize(input.size()).
void compress(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out);

// Decodes a stream into exactly out.size() bytes. Fails on a missing
// terminator, on output past out.size() or short of it, and on a reference to a
// slot not yet written in this chunk.
Status decompress(std::span<const std::uint8_t> stream, std::span<std::uint8_t> out);

} // namespace hpiutil::lz77
