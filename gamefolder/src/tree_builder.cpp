#include "game_folder_impl.hpp"

#include "common/codepage.hpp"

namespace gamefolder {

std::string GameFolder::Impl::gameBytes(std::string_view utf8Name) {
    if (auto raw = common::utf8ToCp1252(utf8Name)) {
        return *raw;
    }
    return std::string(utf8Name);
}

std::int32_t TreeBuilder::add(std::int32_t parent, std::string_view name, std::string_view raw,
                              const Copy& copy) {
    auto& nodes = impl_.nodes;
    if (parent == kHidden || (parent >= 0 && !nodes[std::size_t(parent)].directory)) {
        return kHidden;
    }
    const auto next = std::uint32_t(nodes.size());
    bool useIndex = parent < 0 || impl_.indexed[std::size_t(parent)];
    if (!useIndex && impl_.copyList[std::size_t(parent)].source != copy.source) {
        // A second source reaches this folder: from now on its children are looked up.
        indexChildren(parent);
        useIndex = true;
    }
    std::uint32_t n = next;
    if (useIndex) {
        NameIndex::fold(raw, folded_);
        n = impl_.index.findOrAdd(parent, folded_, next);
    }
    if (n == next) {
        Node& node = nodes.emplace_back();
        node.name = name;
        node.parent = parent;
        node.directory = copy.directory;
        node.copyBegin = n;
        node.copyCount = 1;
        ++(parent < 0 ? impl_.rootCount : nodes[std::size_t(parent)].childCount);
        // A loose folder's names are looked up from the start: the disk may
        // hold two that differ only in case, and the first one wins.
        impl_.indexed.push_back(copy.source == 0 && copy.directory ? 1 : 0);
        impl_.copyList.push_back(copy);
        lastSource_.push_back(copy.source);
        return std::int32_t(n);
    }
    Node& node = nodes[n];
    if (lastSource_[n] == copy.source) {
        // A second entry of the same name in one archive: its first one is
        // the one the archive library reads, so the second adds nothing.
        return kHidden;
    }
    lastSource_[n] = copy.source;
    later_.emplace_back(n, copy);
    shared_ += node.copyCount++ == 1 ? 1 : 0;
    if (node.directory == copy.directory) {
        return std::int32_t(n);
    }
    node.clash = true;
    const Copy& winner = impl_.copyList[n];
    Problem p;
    p.path = impl_.pathOf(std::int32_t(n));
    p.what = std::string(winner.directory ? "a folder" : "a file") + " in " +
             impl_.sourceName(winner.source) + ", " + (copy.directory ? "a folder" : "a file") +
             " in " + impl_.sourceName(copy.source) + ": " + impl_.sourceName(winner.source) +
             " wins";
    impl_.problems.push_back(std::move(p));
    return copy.directory ? kHidden : std::int32_t(n);
}

void TreeBuilder::indexChildren(std::int32_t dir) {
    impl_.indexed[std::size_t(dir)] = 1;
    // Until now one source alone reached this folder, and every source adds
    // its members depth first: the folder's descendants are the nodes right
    // after it, up to the first one whose parent comes before the folder.
    const auto& nodes = impl_.nodes;
    std::string folded;
    for (std::size_t c = std::size_t(dir) + 1; c < nodes.size() && nodes[c].parent >= dir; ++c) {
        if (nodes[c].parent == dir) {
            NameIndex::fold(GameFolder::Impl::gameBytes(nodes[c].name), folded);
            // A later duplicate in one archive stays out: the first one wins.
            (void)impl_.index.findOrAdd(dir, folded, std::uint32_t(c));
        }
    }
}

void TreeBuilder::reserve(std::size_t more) {
    const std::size_t want = impl_.nodes.size() + more;
    if (want <= impl_.nodes.capacity()) {
        return;
    }
    // A quarter more than asked: an estimate that falls short grows the
    // tables a few times at most, not once per archive.
    const std::size_t room = want + want / 4;
    impl_.nodes.reserve(room);
    impl_.indexed.reserve(room);
    impl_.copyList.reserve(room);
    lastSource_.reserve(room);
}

void TreeBuilder::finish() {
    auto& nodes = impl_.nodes;
    auto& copies = impl_.copyList;
    const std::size_t count = nodes.size();
    // A node of one copy keeps it at its own index. The runs of those with
    // more follow: each its providing copy, then the later ones in the order
    // they were added, which is mount order.
    copies.resize(count + shared_ + later_.size());
    auto at = std::uint32_t(count);
    for (const auto& [n, c] : later_) {
        Node& node = nodes[n];
        if (node.copyBegin < count) {
            copies[at] = copies[node.copyBegin];
            node.copyBegin = at;
            at += node.copyCount;
            node.copyCount = 1; // from here the place of the next later copy
        }
        copies[node.copyBegin + node.copyCount++] = c;
    }
    later_ = {};
    lastSource_ = {};

    // Each folder's children, counted as they were added, run where those
    // of the folders before it end. For now each run's start is its end: the
    // children are put from the last one down, which brings it back.
    std::uint32_t childAt = impl_.rootCount;
    for (Node& node : nodes) {
        childAt += node.childCount;
        node.childBegin = childAt;
    }
    impl_.rootBegin = impl_.rootCount;
    impl_.childList.resize(count);
    for (std::size_t i = count; i-- > 0;) {
        const std::int32_t p = nodes[i].parent;
        impl_.childList[--(p < 0 ? impl_.rootBegin : nodes[std::size_t(p)].childBegin)] =
            std::uint32_t(i);
    }
}

} // namespace gamefolder
