#include "game_folder_impl.hpp"

#include "common/codepage.hpp"

#include <algorithm>
#include <set>
#include <sys/stat.h>

namespace gamefolder {

namespace fs = std::filesystem;

namespace {

// Deeper than any game's folders; a limit for trees made of links.
constexpr int kMaxDepth = 64;

struct Walker {
    GameFolder::Impl& impl;
    TreeBuilder& builder;
    std::set<std::pair<dev_t, ino_t>> visited; // folders walked, so links never loop

    void note(const fs::path& rel, std::string what) {
        impl.problems.push_back(
            Problem{rel.empty() ? impl.folder.string() : rel.string(), std::move(what)});
    }

    // Marks a folder as walked; false when it already was.
    bool enter(const fs::path& dir) {
        struct stat st {};
        if (::stat(dir.c_str(), &st) != 0) {
            return false;
        }
        return visited.insert({st.st_dev, st.st_ino}).second;
    }

    void walk(const fs::path& rel, std::int32_t node, int depth) {
        const fs::path dir = rel.empty() ? impl.folder : impl.folder / rel;
        std::error_code ec;
        std::vector<std::string> names;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            names.push_back(it->path().filename().string());
        }
        if (ec) {
            note(rel, "cannot read the folder: " + ec.message());
        }
        std::sort(names.begin(), names.end(),
                  [](const std::string& a, const std::string& b) { return mountsBefore(a, b); });
        for (const std::string& name : names) {
            if (depth == 0 && classify(name)) {
                continue; // an archive of the folder: a source of its own
            }
            const fs::path childRel = rel / name;
            if (name.find('\\') != std::string::npos) {
                note(childRel, "the name holds a \\, which the game reads as a folder separator");
                continue;
            }
            std::error_code sec;
            const fs::file_status st = fs::status(dir / name, sec);
            if (sec || !fs::exists(st)) {
                note(childRel, "a link to nothing");
                continue;
            }
            if (fs::is_directory(st)) {
                if (depth + 1 >= kMaxDepth) {
                    note(childRel, "folders nested too deep; not walked");
                    continue;
                }
                if (!enter(dir / name)) {
                    note(childRel, "a link to a folder already walked; not walked again");
                    continue;
                }
                const std::int32_t child =
                    builder.add(node, impl.looseNames.emplace_back(name),
                                GameFolder::Impl::gameBytes(name), Copy{0, true, 0, 0});
                if (child == TreeBuilder::kHidden && node != TreeBuilder::kHidden) {
                    note(childRel, "another name in its folder differs only in case; the "
                                   "first one wins");
                }
                walk(childRel, child, depth + 1);
            } else if (fs::is_regular_file(st)) {
                const std::uint64_t size = fs::file_size(dir / name, sec);
                const auto index = std::uint32_t(impl.looseFiles.size());
                impl.looseFiles.push_back(childRel);
                if (builder.add(node, impl.looseNames.emplace_back(name),
                                GameFolder::Impl::gameBytes(name),
                                Copy{0, false, sec ? 0 : size, index}) == TreeBuilder::kHidden &&
                    node != TreeBuilder::kHidden) {
                    note(childRel, "another name in its folder differs only in case; the "
                                   "first one wins");
                }
                ++impl.sources[0].members;
            }
        }
    }
};

} // namespace

void mountLooseFiles(GameFolder::Impl& impl, TreeBuilder& builder) {
    Walker walker{impl, builder, {}};
    walker.enter(impl.folder);
    walker.walk(fs::path(), -1, 0);
}

} // namespace gamefolder
