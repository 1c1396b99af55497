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
    if (parent == kHidden || (parent >= 0 && !impl_.nodes[std::size_t(parent)].directory)) {
        return kHidden;
    }
    const auto next = std::uint32_t(impl_.nodes.size());
    bool useIndex = parent < 0 || impl_.indexed[std::size_t(parent)];
    if (!useIndex && pending_[firstPending_[std::size_t(parent)]].second.source != copy.source) {
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
        Node node;
        node.name = std::string(name);
        node.parent = parent;
        node.directory = copy.directory;
        impl_.nodes.push_back(std::move(node));
        impl_.indexed.push_back(0);
        lastSource_.push_back(copy.source);
        firstPending_.push_back(std::uint32_t(pending_.size()));
        pending_.emplace_back(n, copy);
        firstChild_.push_back(-1);
        lastChild_.push_back(-1);
        nextSibling_.push_back(-1);
        if (parent >= 0) {
            auto& last = lastChild_[std::size_t(parent)];
            (last < 0 ? firstChild_[std::size_t(parent)] : nextSibling_[std::size_t(last)]) =
                std::int32_t(n);
            last = std::int32_t(n);
        }
        return std::int32_t(n);
    }
    Node& node = impl_.nodes[n];
    if (lastSource_[n] == copy.source) {
        // A second entry of the same name in one archive: its first one is
        // the one the archive library reads, so the second adds nothing.
        return kHidden;
    }
    lastSource_[n] = copy.source;
    pending_.emplace_back(n, copy);
    if (node.directory == copy.directory) {
        return std::int32_t(n);
    }
    node.clash = true;
    const Copy& winner = pending_[firstPending_[n]].second;
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
    std::string folded;
    for (std::int32_t c = firstChild_[std::size_t(dir)]; c >= 0; c = nextSibling_[std::size_t(c)]) {
        NameIndex::fold(GameFolder::Impl::gameBytes(impl_.nodes[std::size_t(c)].name), folded);
        // A later duplicate in one archive stays out: the first one wins.
        (void)impl_.index.findOrAdd(dir, folded, std::uint32_t(c));
    }
}

void TreeBuilder::reserve(std::size_t copies) {
    impl_.indexed.reserve(copies);
    firstChild_.reserve(copies);
    lastChild_.reserve(copies);
    nextSibling_.reserve(copies);
    impl_.nodes.reserve(copies);
    pending_.reserve(copies);
    lastSource_.reserve(copies);
    firstPending_.reserve(copies);
}

void TreeBuilder::finish() {
    const std::size_t count = impl_.nodes.size();
    // Copies: a stable counting sort by node keeps each node's copies in mount order.
    std::vector<std::uint32_t> start(count + 1, 0);
    for (const auto& [n, c] : pending_) {
        ++start[n + 1];
    }
    for (std::size_t i = 0; i < count; ++i) {
        impl_.nodes[i].copyBegin = start[i];
        impl_.nodes[i].copyCount = start[i + 1];
        start[i + 1] += start[i];
    }
    impl_.copyList.resize(pending_.size());
    std::vector<std::uint32_t> fill(start.begin(), start.end() - 1);
    for (const auto& [n, c] : pending_) {
        impl_.copyList[fill[n]++] = c;
    }
    pending_ = {};
    firstPending_ = {};
    lastSource_ = {};
    firstChild_ = {};
    lastChild_ = {};
    nextSibling_ = {};

    // Children: bucket 0 is the root, bucket i + 1 the node i.
    std::vector<std::uint32_t> kids(count + 2, 0);
    for (const Node& node : impl_.nodes) {
        ++kids[std::size_t(node.parent + 1) + 1];
    }
    for (std::size_t i = 1; i < kids.size(); ++i) {
        kids[i] += kids[i - 1];
    }
    impl_.rootBegin = kids[0];
    impl_.rootCount = kids[1] - kids[0];
    for (std::size_t i = 0; i < count; ++i) {
        impl_.nodes[i].childBegin = kids[i + 1];
        impl_.nodes[i].childCount = kids[i + 2] - kids[i + 1];
    }
    impl_.childList.resize(count);
    std::vector<std::uint32_t> put(kids.begin(), kids.end() - 1);
    for (std::size_t i = 0; i < count; ++i) {
        impl_.childList[put[std::size_t(impl_.nodes[i].parent + 1)]++] = std::uint32_t(i);
    }
}

} // namespace gamefolder
