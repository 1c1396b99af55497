// State of a mounted game folder, shared by the library's source files.
#pragma once

#include "gamefolder/game_folder.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace gamefolder {

struct GameFolder::Impl {
    std::filesystem::path folder;
    std::vector<Source> sources;
    // The open archive of each source; empty for loose files and skipped ones.
    std::vector<std::optional<hpiutil::Archive>> archives;
    // Loose files, relative to the folder; Copy::entry indexes them.
    std::vector<std::filesystem::path> looseFiles;
    std::vector<Problem> problems;

    std::vector<Node> nodes;
    std::vector<Copy> copyList;           // every node's copies, each run contiguous
    std::vector<std::uint32_t> childList; // every directory's children, each run contiguous
    std::uint32_t rootBegin = 0;
    std::uint32_t rootCount = 0;
    std::unordered_map<std::string, std::uint32_t> index; // lookupKey -> node

    std::string pathOf(std::int32_t node) const;
    std::string sourceName(std::uint32_t source) const;

    // The key of a name under a parent: the parent's index, then the name
    // folded (Windows-1252 bytes when the name has them).
    static std::string lookupKey(std::int32_t parent, std::string_view foldedName);
    // The name's bytes the game would compare: Windows-1252 when the UTF-8
    // text can be written so, else the text itself.
    static std::string gameBytes(std::string_view utf8Name);
};

// Builds the merged tree source by source, in mount order.
class TreeBuilder {
public:
    // A parent whose entries are hidden: below a path that an earlier
    // source holds as a file.
    static constexpr std::int32_t kHidden = -2;

    explicit TreeBuilder(GameFolder::Impl& impl) : impl_(impl) {}

    // Adds one copy of `name` (UTF-8) under `parent` (-1 = the root) and
    // returns the node its children go under, or kHidden.
    std::int32_t add(std::int32_t parent, std::string_view name, const Copy& copy);
    // Lays the copies and children out in contiguous runs.
    void finish();

private:
    GameFolder::Impl& impl_;
    std::vector<std::pair<std::uint32_t, Copy>> pending_;
    std::vector<std::uint32_t> lastSource_;   // per node: the source of its latest copy
    std::vector<std::uint32_t> firstPending_; // per node: its providing copy in pending_
};

// The loose files under the game folder (source 0): every folder walked once,
// links followed but never in a cycle, archives of the top level left out.
void mountLooseFiles(GameFolder::Impl& impl, TreeBuilder& builder);

} // namespace gamefolder
