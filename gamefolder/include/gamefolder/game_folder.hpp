// A game folder seen as the game sees it: loose files first, then every
// archive in mount order (mount_order.hpp), merged into one tree in which
// the first source that holds a path provides it and later ones are shadowed.
// Mounting reads each archive's directory once; members are decompressed
// only when read, from the source that provides them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "gamefolder/mount_order.hpp"
#include "hpiutil/archive.hpp"
#include "hpiutil/result.hpp"

namespace gamefolder {

using hpiutil::Error;
using hpiutil::Result;
using hpiutil::Status;

// One source of the folder, in mount order. Sources that are skipped stay in
// the list with their reason and provide nothing.
struct Source {
    std::filesystem::path path; // the game folder for loose files, else the archive file
    std::string name;           // the archive's file name; "" for loose files
    SourceKind kind = SourceKind::Loose;
    std::uint32_t members = 0; // files it holds
    bool skipped = false;
    std::string reason; // why it was skipped
};

// One source's copy of a merged path.
struct Copy {
    std::uint32_t source = 0; // index in sources()
    bool directory = false;
    std::uint64_t size = 0;  // bytes of a file
    std::uint32_t entry = 0; // the archive's entry index, or the loose file's index
};

// A path of the merged tree. Its copies run in mount order; the first one
// provides it, and its kind (file or directory) is the path's kind.
struct Node {
    // As the providing source spells it, UTF-8; the text lives in the
    // mounted folder's directories, as long as the GameFolder does.
    std::string_view name;
    std::int32_t parent = -1; // -1 = the root
    bool directory = false;
    bool clash = false; // some source holds a file where another holds a directory
    std::uint32_t copyBegin = 0;
    std::uint32_t copyCount = 0;
    std::uint32_t childBegin = 0;
    std::uint32_t childCount = 0;
};

// Something the mount met that is not about one archive: an unreadable
// folder of loose files, a link cycle, a name the game cannot hold, a clash.
struct Problem {
    std::string path; // member path, or disk path for loose-file problems
    std::string what;
};

// How a shadowed copy compares with the providing one.
enum class Likeness { NotCompared, Same, Differs, Unreadable };

struct ShadowedPath {
    std::int32_t node = -1;
    std::string path;
    std::vector<Likeness> likeness; // one per copy; the provider's is Same
    bool differs() const;           // some copy differs from the provider
};

using ByteSink = std::function<Status(std::span<const std::uint8_t>)>;

class GameFolder {
public:
    // Mounts the folder. Fails only when the folder itself cannot be listed;
    // archives that cannot be mounted are skipped with their reason.
    static Result<GameFolder> mount(const std::filesystem::path& folder);

    GameFolder(GameFolder&&) noexcept;
    GameFolder& operator=(GameFolder&&) noexcept;
    ~GameFolder();

    const std::filesystem::path& folder() const;
    const std::vector<Source>& sources() const;
    const std::vector<Problem>& problems() const;

    // The merged tree. Children are in the order they were first mounted.
    const std::vector<Node>& nodes() const;
    std::span<const std::uint32_t> children(std::int32_t node) const; // -1 = the root
    std::span<const Copy> copies(std::int32_t node) const;
    // The node's '\'-joined path from the root.
    std::string path(std::int32_t node) const;
    // A member path ('\'-separated, without regard to case); "" is the root
    // (-1). Empty optional when no source provides it.
    std::optional<std::int32_t> find(std::string_view path) const;
    // A source's name for messages: its archive file name, or "(loose files)".
    std::string sourceName(std::uint32_t source) const;

    // Streams the providing copy of a file, as the archive library reads it.
    Status read(std::int32_t node, const ByteSink& sink) const;
    // Streams one particular copy (the provider's or a shadowed one).
    Status readCopy(const Copy& copy, const ByteSink& sink) const;

    // Writes the providing copy of every file under `roots` (all when empty)
    // below `destDir` at its merged path made safe; each file through a
    // temporary beside it. Files that cannot be written are listed.
    hpiutil::ExtractSummary extract(const std::filesystem::path& destDir,
                                    std::span<const std::int32_t> roots = {}) const;

    // Every path held by more than one source, in tree order. With
    // `compareBytes`, each shadowed file is compared with the provider:
    // sizes first, contents only when the sizes agree.
    std::vector<ShadowedPath> shadowed(bool compareBytes) const;

    struct Impl;

private:
    explicit GameFolder(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace gamefolder
