// Extracting the merged view: the providing copy of each file, below a
// destination it never leaves.
#include "game_folder_impl.hpp"

#include "hpiutil/paths.hpp"

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace gamefolder {

namespace fs = std::filesystem;

namespace {

// Copies a loose file through a temporary beside the target, renamed over
// it only when complete.
Status copyLoose(const GameFolder& game, std::int32_t node, const fs::path& target) {
    fs::path temp = target;
    temp += ".part-" + std::to_string(::getpid());
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) {
        return hpiutil::fail("cannot create " + temp.string());
    }
    auto st = game.read(node, [&](std::span<const std::uint8_t> bytes) -> Status {
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return out ? Status() : hpiutil::fail("cannot write " + temp.string());
    });
    out.close();
    std::error_code ec;
    if (st && !out) {
        st = hpiutil::fail("cannot write " + temp.string());
    }
    if (st) {
        fs::rename(temp, target, ec);
        if (ec) {
            st = hpiutil::fail("cannot rename to " + target.string() + ": " + ec.message());
        }
    }
    if (!st) {
        fs::remove(temp, ec);
    }
    return st;
}

} // namespace

hpiutil::ExtractSummary GameFolder::extract(const fs::path& destDir,
                                            std::span<const std::int32_t> roots) const {
    hpiutil::ExtractSummary summary;
    std::vector<std::int32_t> pending;
    if (roots.empty()) {
        for (std::uint32_t c : children(-1)) {
            pending.push_back(std::int32_t(c));
        }
    } else {
        pending.assign(roots.begin(), roots.end());
    }
    while (!pending.empty()) {
        const std::int32_t node = pending.back();
        pending.pop_back();
        if (node < 0) {
            for (std::uint32_t c : children(-1)) {
                pending.push_back(std::int32_t(c));
            }
            continue;
        }
        const Node& n = impl_->nodes[std::size_t(node)];
        const std::string member = path(node);
        auto rel = hpiutil::safeRelativePath(member);
        if (!rel) {
            Error e = std::move(rel).error();
            e.member = member;
            summary.failures.push_back(std::move(e));
            continue;
        }
        const fs::path target = destDir / *rel;
        std::error_code ec;
        if (n.directory) {
            if (fs::create_directories(target, ec)) {
                ++summary.directoriesMade;
            }
            for (std::uint32_t c : children(node)) {
                pending.push_back(std::int32_t(c));
            }
            continue;
        }
        fs::create_directories(target.parent_path(), ec);
        const Copy& winner = copies(node).front();
        Status st;
        if (const auto& archive = impl_->archives[winner.source]) {
            st = archive->extractTo(archive->entries()[winner.entry], target);
        } else {
            st = copyLoose(*this, node, target);
        }
        if (!st) {
            Error e = std::move(st).error();
            e.member = member;
            summary.failures.push_back(std::move(e));
            continue;
        }
        ++summary.filesWritten;
        summary.bytesWritten += winner.size;
    }
    return summary;
}

} // namespace gamefolder
