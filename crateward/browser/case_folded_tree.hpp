// A folder on disk that several archives are unpacked into. Archive names
// match without regard to case ("Units\" and "units\" are one folder to the
// game), disk names do not, so each path is placed on the spelling already
// on disk: folders of one name in different case become one (the first
// spelling kept), and a later file replaces an earlier one of the same name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace crateward {

// The comparison key of a name: ASCII letters and the Latin-1 capitals of
// UTF-8 (U+00C0..U+00DE but U+00D7) folded to small letters.
std::string FoldedName(std::string_view name);

class CaseFoldedTree {
public:
    explicit CaseFoldedTree(std::filesystem::path root) : root_(std::move(root)) {}

    // The disk path of `relative` below the root, each component spelt as
    // the entry of its folder that matches it (its own spelling when none
    // does). The folders on the way, and the path itself when `directory`,
    // are created.
    std::filesystem::path place(const std::filesystem::path& relative, bool directory);

private:
    using Names = std::unordered_map<std::string, std::string>; // folded -> on disk
    Names& namesOf(const std::filesystem::path& folder);

    std::filesystem::path root_;
    std::unordered_map<std::string, Names> folders_; // read once per folder
};

} // namespace crateward
