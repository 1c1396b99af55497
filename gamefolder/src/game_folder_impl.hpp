// State of a mounted game folder, shared by the library's source files.
#pragma once

#include "gamefolder/game_folder.hpp"
#include "name_index.hpp"

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gamefolder {

struct GameFolder::Impl {
    std::filesystem::path folder;
    std::vector<Source> sources;
    // The open archive of each source; empty for loose files and skipped ones.
    std::vector<std::optional<hpiutil::Archive>> archives;
    // Loose files, relative to the folder; Copy::entry indexes them.
    std::vector<std::filesystem::path> looseFiles;
    // The names of loose files and folders, which nodes view (a deque never
    // moves what it holds); archive members' names are their entries'.
    std::deque<std::string> looseNames;
    std::vector<Problem> problems;

    std::vector<Node> nodes;
    std::vector<Copy> copyList;           // every node's copies, each run contiguous
    std::vector<std::uint32_t> childList; // every directory's children, each run contiguous
    std::uint32_t rootBegin = 0;
    std::uint32_t rootCount = 0;
    // (parent, folded name) -> node, for the children of the root, of every
    // loose folder and of every folder more than one source holds. A folder
    // of one archive alone cannot have two children of one name (but for
    // duplicates in the archive, where the first wins), so its children are
    // found by walking its list instead, and mounting pays for no lookup there.
    NameIndex index;
    std::vector<std::uint8_t> indexed; // per node: its children are in `index`

    std::string pathOf(std::int32_t node) const;
    std::string sourceName(std::uint32_t source) const;

    // The name's bytes the game would compare: Windows-1252 when the UTF-8
    // text can be written so, else the text itself.
    static std::string gameBytes(std::string_view utf8Name);
};

// Builds the merged tree source by source, in mount order. Each node's
// providing copy stays in copyList at the node's own index and the few later
// copies wait aside, so finish() lays out only the runs of nodes with several
// copies, with no sort; the children are laid out from the parent links alone.
class TreeBuilder {
public:
    // A parent whose entries are hidden: below a path that an earlier
    // source holds as a file.
    static constexpr std::int32_t kHidden = -2;

    explicit TreeBuilder(GameFolder::Impl& impl) : impl_(impl) {}

    // Adds one copy of `name` (UTF-8, kept as long as the folder; `raw` its
    // Windows-1252 bytes) under `parent` (-1 = the root) and returns the
    // node its children go under, or kHidden.
    std::int32_t add(std::int32_t parent, std::string_view name, std::string_view raw,
                     const Copy& copy);
    // Room for about `more` copies more, so the tables seldom grow.
    void reserve(std::size_t more);
    // Lays the copies and children out in contiguous runs.
    void finish();

private:
    GameFolder::Impl& impl_;
    std::vector<std::pair<std::uint32_t, Copy>> later_; // (node, copy) after the providing one
    std::vector<std::uint32_t> lastSource_;             // per node: the source of its latest copy
    std::size_t shared_ = 0;                            // nodes with more than one copy
    std::string folded_;                                // the name being added, folded

    // Puts a folder's children so far in the index, from now on used for it.
    void indexChildren(std::int32_t dir);
};

// The loose files under the game folder (source 0): every folder walked once,
// links followed but never in a cycle, archives of the top level left out.
void mountLooseFiles(GameFolder::Impl& impl, TreeBuilder& builder);

} // namespace gamefolder
