// The shadow report: every path more than one source holds, and whether
// each shadowed copy's bytes differ from the providing copy's.
#include "game_folder_impl.hpp"

#include <array>

namespace gamefolder {

namespace {

// A 128-bit digest of a stream (two FNV-1a lanes with different bases and
// primes), fed chunk by chunk so no member is ever held whole.
class StreamDigest {
public:
    void add(std::span<const std::uint8_t> bytes) {
        for (std::uint8_t b : bytes) {
            a_ = (a_ ^ b) * 0x100000001b3ull;
            b_ = (b_ ^ b) * 0x9e3779b97f4a7c15ull;
            b_ ^= b_ >> 29;
        }
    }
    std::array<std::uint64_t, 2> value() const { return {a_, b_}; }

private:
    std::uint64_t a_ = 0xcbf29ce484222325ull;
    std::uint64_t b_ = 0x84222325cbf29ce4ull;
};

std::optional<std::array<std::uint64_t, 2>> digestOf(const GameFolder& game, const Copy& copy) {
    StreamDigest d;
    auto st = game.readCopy(copy, [&](std::span<const std::uint8_t> bytes) -> Status {
        d.add(bytes);
        return {};
    });
    if (!st) {
        return std::nullopt;
    }
    return d.value();
}

} // namespace

bool ShadowedPath::differs() const {
    for (Likeness l : likeness) {
        if (l == Likeness::Differs) {
            return true;
        }
    }
    return false;
}

std::vector<ShadowedPath> GameFolder::shadowed(bool compareBytes) const {
    std::vector<ShadowedPath> report;
    for (std::size_t i = 0; i < impl_->nodes.size(); ++i) {
        const Node& n = impl_->nodes[i];
        // Folders held by several sources merge; only files and clashes shadow.
        if (n.copyCount < 2 || (n.directory && !n.clash)) {
            continue;
        }
        ShadowedPath s;
        s.node = std::int32_t(i);
        s.path = path(s.node);
        const auto list = copies(s.node);
        const Copy& provider = list.front();
        s.likeness.assign(list.size(), Likeness::NotCompared);
        s.likeness[0] = Likeness::Same;
        if (compareBytes) {
            std::optional<std::array<std::uint64_t, 2>> providerDigest;
            bool providerRead = false;
            for (std::size_t c = 1; c < list.size(); ++c) {
                const Copy& copy = list[c];
                if (copy.directory != provider.directory) {
                    s.likeness[c] = Likeness::Differs;
                    continue;
                }
                if (copy.directory) {
                    s.likeness[c] = Likeness::Same;
                    continue;
                }
                if (copy.size != provider.size) {
                    s.likeness[c] = Likeness::Differs;
                    continue;
                }
                if (!providerRead) {
                    providerDigest = digestOf(*this, provider);
                    providerRead = true;
                }
                const auto digest = digestOf(*this, copy);
                if (!providerDigest || !digest) {
                    s.likeness[c] = Likeness::Unreadable;
                } else {
                    s.likeness[c] = *digest == *providerDigest ? Likeness::Same : Likeness::Differs;
                }
            }
        }
        report.push_back(std::move(s));
    }
    return report;
}

} // namespace gamefolder
