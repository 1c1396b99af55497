#include "hpiutil/format.hpp"
#include "hpiutil/result.hpp"

#include <cstdio>

namespace hpiutil {

std::string Error::message() const {
    std::string out;
    auto add = [&out](const std::string& part) {
        if (part.empty()) {
            return;
        }
        if (!out.empty()) {
            out += ": ";
        }
        out += part;
    };
    add(file);
    add(member);
    if (offset >= 0) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "at offset 0x%llx", static_cast<unsigned long long>(offset));
        add(buf);
    }
    add(what.empty() ? std::string("failed") : what);
    return out;
}

bool isTrailer(std::span<const std::uint8_t> last36) {
    if (last36.size() != kTrailerSize) {
        return false;
    }
    for (std::size_t i = 0; i < kTrailerSize; ++i) {
        if (i >= 10 && i <= 13) {
            continue; // the year may be anything
        }
        if (last36[i] != kTrailer[i]) {
            return false;
        }
    }
    return true;
}

void applyCipher(std::uint8_t r, std::uint64_t offset, std::span<std::uint8_t> bytes) {
    if (r == 0) {
        return;
    }
    std::size_t start = 0;
    if (offset < kHeaderSize) {
        start = static_cast<std::size_t>(kHeaderSize - offset);
    }
    for (std::size_t i = start; i < bytes.size(); ++i) {
        bytes[i] ^= static_cast<std::uint8_t>(r ^ ((offset + i) & 0xFF));
    }
}

std::uint32_t innerDecode(std::span<std::uint8_t> payload) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const std::uint8_t stored = payload[i];
        sum += stored;
        const auto k = static_cast<std::uint8_t>(i);
        payload[i] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(stored - k) ^ k);
    }
    return sum;
}

std::uint32_t innerEncode(std::span<std::uint8_t> payload) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < payload.size(); ++i) {
        const auto k = static_cast<std::uint8_t>(i);
        const auto stored = static_cast<std::uint8_t>((payload[i] ^ k) + k);
        payload[i] = stored;
        sum += stored;
    }
    return sum;
}

std::uint32_t byteSum(std::span<const std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (auto b : bytes) {
        sum += b;
    }
    return sum;
}

} // namespace hpiutil
