#include "hpiutil/lz77.hpp"

#include <algorithm>
#include <array>
#include <cstring>

namespace hpiutil::lz77 {

namespace {

constexpr std::size_t kWindow = 4096;
constexpr std::size_t kMaxDistance = kWindow - 1;
constexpr std::size_t kMinMatch = 2;
constexpr std::size_t kMaxMatch = 17;
constexpr int kHashBits = 13;
constexpr std::size_t kHashSize = std::size_t(1) << kHashBits;
constexpr int kMaxChain = 48;
// A match this long is taken at once, without looking one byte ahead.
constexpr std::size_t kGoodEnough = 12;

std::uint32_t hash3(const std::uint8_t* p) {
    const std::uint32_t v =
        std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

// Writes tokens in groups of eight behind a tag byte.
class TokenWriter {
public:
    explicit TokenWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void literal(std::uint8_t c) {
        startToken(false);
        out_.push_back(c);
    }
    void reference(std::size_t slot, std::size_t len) {
        startToken(true);
        const unsigned v = unsigned(slot << 4) | unsigned(len - 2);
        out_.push_back(static_cast<std::uint8_t>(v));
        out_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void terminator() {
        startToken(true);
        out_.push_back(0);
        out_.push_back(0);
    }

private:
    void startToken(bool isReference) {
        if (bit_ == 8) {
            tagAt_ = out_.size();
            out_.push_back(0);
            bit_ = 0;
        }
        if (isReference) {
            out_[tagAt_] = static_cast<std::uint8_t>(out_[tagAt_] | (1u << bit_));
        }
        ++bit_;
    }

    std::vector<std::uint8_t>& out_;
    std::size_t tagAt_ = 0;
    int bit_ = 8;
};

struct Matcher {
    const std::uint8_t* data = nullptr;
    std::size_t n = 0;
    std::array<std::int32_t, kHashSize> head;
    std::vector<std::int32_t> prev;

    void reset(std::span<const std::uint8_t> input) {
        data = input.data();
        n = input.size();
        head.fill(-1);
        prev.resize(n); // entries are written before they are read
    }

    void insert(std::size_t k) {
        if (k + 3 <= n) {
            const auto h = hash3(data + k);
            prev[k] = head[h];
            head[h] = std::int32_t(k);
        }
    }

    // Longest match for position k: earlier output position s within the
    // distance bound whose slot (s + 1) mod 4096 is not 0.
    std::size_t best(std::size_t k, std::size_t& bestPos) const {
        const std::size_t limit = std::min(kMaxMatch, n - k);
        if (limit < kMinMatch) {
            return 0;
        }
        std::size_t bestLen = 0;
        if (k + 3 <= n) {
            std::int32_t cand = head[hash3(data + k)];
            for (int chain = 0; cand >= 0 && chain < kMaxChain; ++chain, cand = prev[cand]) {
                const auto s = std::size_t(cand);
                if (k - s > kMaxDistance) {
                    break;
                }
                if (((s + 1) & (kWindow - 1)) == 0) {
                    continue;
                }
                std::size_t len = 0;
                while (len < limit && data[s + len] == data[k + len]) {
                    ++len;
                }
                if (len > bestLen) {
                    bestLen = len;
                    bestPos = s;
                    if (len == limit) {
                        break;
                    }
                }
            }
        }
        // Two-byte matches are not hashed; try the nearest positions directly.
        if (bestLen < kMinMatch) {
            for (std::size_t d = 1; d <= 4 && d <= k; ++d) {
                const std::size_t s = k - d;
                if (((s + 1) & (kWindow - 1)) != 0 && data[s] == data[k] &&
                    data[s + 1] == data[k + 1]) {
                    bestLen = 2;
                    bestPos = s;
                    break;
                }
            }
        }
        return bestLen >= kMinMatch ? bestLen : 0;
    }
};

} // namespace

void compress(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& out) {
    out.clear();
    out.reserve(worstCaseSize(input.size()));
    TokenWriter tokens(out);
    // The hash tables are kept per thread between chunks.
    thread_local Matcher matcher;
    matcher.reset(input);
    const std::size_t n = input.size();
    std::size_t k = 0;
    auto emit = [&](std::size_t pos, std::size_t len, std::size_t firstToInsert) {
        tokens.reference((pos + 1) & (kWindow - 1), len);
        for (std::size_t j = firstToInsert; j < len; ++j) {
            matcher.insert(k + j);
        }
        k += len;
    };
    while (k < n) {
        std::size_t pos = 0;
        const std::size_t len = matcher.best(k, pos);
        if (len == 0) {
            tokens.literal(input[k]);
            matcher.insert(k);
            ++k;
            continue;
        }
        if (len >= kGoodEnough || k + 1 >= n) {
            emit(pos, len, 0);
            continue;
        }
        // Lazy evaluation: when the match one byte on is longer, a literal
        // now and that match beat this match.
        matcher.insert(k);
        std::size_t nextPos = 0;
        const std::size_t next = matcher.best(k + 1, nextPos);
        if (next > len) {
            tokens.literal(input[k]);
            ++k;
            emit(nextPos, next, 0);
        } else {
            emit(pos, len, 1);
        }
    }
    tokens.terminator();
}

} // namespace hpiutil::lz77
