// The merged tree against a plain reference merge (one map keyed on the
// folded path) on random game folders: overlapping archives of every group,
// names that differ only in case, files and folders at one path, loose files.
#include "fixture.hpp"
#include "testsupport/testsupport.hpp"

#include "common/codepage.hpp"
#include "gamefolder/mount_order.hpp"
#include "hpiutil/writer.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>

using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

std::string folded(std::string_view utf8) {
    std::string bytes = common::utf8ToCp1252(utf8).value_or(std::string(utf8));
    for (char& c : bytes) {
        c = char(common::foldCp1252(static_cast<unsigned char>(c)));
    }
    return bytes;
}

struct RefCopy {
    std::uint32_t source;
    bool directory;
    std::uint64_t size;
    bool operator==(const RefCopy&) const = default;
};

struct RefNode {
    std::string name;
    bool directory = false;
    bool clash = false;
    std::vector<RefCopy> copies;
    std::vector<std::string> children; // keys, in the order first added
};

// The first source that holds a path provides it; a later copy of another
// kind marks a clash, and a folder copy under a file is hidden with all below.
class Reference {
public:
    std::map<std::string, RefNode> nodes;
    std::vector<std::string> rootChildren;

    // The key below which `name`'s entries go, or nullopt when they are hidden.
    std::optional<std::string> add(const std::optional<std::string>& parent, bool underRoot,
                                   const std::string& name, const RefCopy& copy) {
        if (!underRoot && !parent) {
            return std::nullopt;
        }
        const std::string key = underRoot ? folded(name) : *parent + "\\" + folded(name);
        auto [it, fresh] = nodes.try_emplace(key);
        RefNode& node = it->second;
        if (fresh) {
            node.name = name;
            node.directory = copy.directory;
            node.copies.push_back(copy);
            (underRoot ? rootChildren : nodes.at(*parent).children).push_back(key);
            return key;
        }
        if (node.copies.back().source == copy.source) {
            return std::nullopt; // a second name of one folder: the first wins
        }
        node.copies.push_back(copy);
        if (node.directory != copy.directory) {
            node.clash = true;
            if (copy.directory) {
                return std::nullopt;
            }
        }
        return key;
    }

    void addLoose(const fs::path& dir, const std::optional<std::string>& parent, bool underRoot) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end(), gamefolder::mountsBefore);
        for (const std::string& name : names) {
            if (underRoot && gamefolder::classify(name)) {
                continue;
            }
            const bool isDir = fs::is_directory(dir / name);
            auto key = add(parent, underRoot, name,
                           RefCopy{0, isDir, isDir ? 0 : fs::file_size(dir / name)});
            if (isDir) {
                addLoose(dir / name, key, false);
            }
        }
    }

    void addArchive(const hpiutil::Archive& archive, std::uint32_t source) {
        const auto& entries = archive.entries();
        std::vector<std::optional<std::string>> keyOf(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const auto& e = entries[i];
            const bool underRoot = e.parent < 0;
            keyOf[i] = add(underRoot ? std::nullopt : keyOf[std::size_t(e.parent)], underRoot,
                           e.name, RefCopy{source, e.directory, e.size});
        }
    }
};

const char* const kNames[] = {"units", "UNITS", "Units", "anims",        "a",           "A",
                              "b.fbi", "B.FBI", "c.txt", "\xc3\xa9.txt", "\xc3\x89.TXT"};

std::string randomPath(std::mt19937& rng, int depth) {
    std::string path;
    for (int d = 0; d < depth; ++d) {
        path += (path.empty() ? "" : "\\") + std::string(kNames[rng() % std::size(kNames)]);
    }
    return path;
}

// Archives of random members, their paths drawn from a few names in several
// cases; written once (each write is synced) and linked into every folder.
std::vector<fs::path> writePool(const fs::path& dir, std::mt19937& rng) {
    std::vector<fs::path> pool;
    for (int a = 0; a < 16; ++a) {
        hpiutil::ArchiveWriter writer;
        for (std::size_t m = rng() % 20; m-- > 0;) {
            const std::string path = randomPath(rng, 1 + int(rng() % 4));
            // Refused paths (a file where a folder was queued) simply stay out.
            if (rng() % 5 == 0) {
                (void)writer.addDirectory(path);
            } else {
                (void)writer.addBuffer(path, std::vector<std::uint8_t>(rng() % 4, 'x'));
            }
        }
        pool.push_back(dir / ("pool" + std::to_string(a)));
        EXPECT_TRUE(writer.write(pool.back(), hpiutil::Method::Zlib, {}, 1).ok());
    }
    return pool;
}

// A random folder: archives of the pool under names of every group, and
// some loose files.
void makeFolder(const fs::path& dir, const std::vector<fs::path>& pool, std::mt19937& rng) {
    static const char* const kArchiveNames[] = {"rev1.gp3", "REV2.GP3", "x.ccx", "Y.CCX",
                                                "m.ufo",    "N.UFO",    "t.hpi", "u.hpi"};
    for (std::size_t a = 1 + rng() % 5; a-- > 0;) {
        const fs::path name = dir / kArchiveNames[rng() % std::size(kArchiveNames)];
        if (!fs::exists(name)) {
            fs::create_hard_link(pool[rng() % pool.size()], name);
        }
    }
    for (std::size_t m = rng() % 2 ? rng() % 8 : 0; m-- > 0;) {
        fs::path path = dir;
        const int depth = 1 + int(rng() % 3);
        bool usable = true;
        for (int d = 0; d < depth && usable; ++d) {
            path /= kNames[rng() % std::size(kNames)];
            usable =
                d + 1 == depth ? !fs::exists(path) : !fs::exists(path) || fs::is_directory(path);
        }
        if (usable) {
            testsupport::writeFile(path, std::string(rng() % 4, 'y'));
        }
    }
}

} // namespace

TEST(MergeReference, RandomFoldersMergeAsThePlainReferenceDoes) {
    std::mt19937 rng(20261208);
    TempDir poolDir;
    const auto pool = writePool(poolDir.path(), rng);
    for (int round = 0; round < 120; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TempDir dir;
        makeFolder(dir.path(), pool, rng);
        auto game = fixture::mountOrDie(dir.path());

        Reference ref;
        ref.addLoose(dir.path(), std::nullopt, true);
        for (std::uint32_t s = 1; s < game.sources().size(); ++s) {
            if (!game.sources()[s].skipped) {
                ref.addArchive(hpiutil::Archive::open(game.sources()[s].path).value(), s);
            }
        }

        ASSERT_EQ(game.nodes().size(), ref.nodes.size());
        auto keysOf = [&](std::span<const std::uint32_t> children) {
            std::vector<std::string> keys;
            for (std::uint32_t c : children) {
                keys.push_back(folded(game.path(std::int32_t(c))));
            }
            return keys;
        };
        EXPECT_EQ(keysOf(game.children(-1)), ref.rootChildren);
        for (std::size_t i = 0; i < game.nodes().size(); ++i) {
            const auto& node = game.nodes()[i];
            const std::string key = folded(game.path(std::int32_t(i)));
            ASSERT_TRUE(ref.nodes.count(key)) << key;
            const RefNode& r = ref.nodes.at(key);
            EXPECT_EQ(node.name, r.name) << key;
            EXPECT_EQ(node.directory, r.directory) << key;
            EXPECT_EQ(node.clash, r.clash) << key;
            std::vector<RefCopy> copies;
            for (const auto& c : game.copies(std::int32_t(i))) {
                copies.push_back(RefCopy{c.source, c.directory, c.size});
            }
            EXPECT_EQ(copies, r.copies) << key;
            EXPECT_EQ(keysOf(game.children(std::int32_t(i))), r.children) << key;
            // Found again under its path in another case.
            std::string other = game.path(std::int32_t(i));
            for (char& c : other) {
                c = (rng() & 1) ? char(std::toupper(static_cast<unsigned char>(c))) : c;
            }
            EXPECT_EQ(game.find(other), std::optional<std::int32_t>(std::int32_t(i))) << other;
        }
    }
}
