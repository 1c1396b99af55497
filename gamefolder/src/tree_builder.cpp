#include "game_folder_impl.hpp"

#include "common/codepage.hpp"

#include <cstring>

namespace gamefolder {

std::string GameFolder::Impl::lookupKey(std::int32_t parent, std::string_view foldedName) {
    std::string key(sizeof parent + foldedName.size(), '\0');
    std::memcpy(key.data(), &parent, sizeof parent);
    std::memcpy(key.data() + sizeof parent, foldedName.data(), foldedName.size());
    return key;
}

std::string GameFolder::Impl::gameBytes(std::string_view utf8Name) {
    if (auto raw = common::utf8ToCp1252(utf8Name)) {
        return *raw;
    }
    return std::string(utf8Name);
}

std::int32_t TreeBuilder::add(std::int32_t parent, std::string_view name, const Copy& copy) {
    if (parent == kHidden || (parent >= 0 && !impl_.nodes[std::size_t(parent)].directory)) {
        return kHidden;
    }
    auto [it, inserted] = impl_.index.try_emplace(
        GameFolder::Impl::lookupKey(parent, common::foldedName(GameFolder::Impl::gameBytes(name))),
        std::uint32_t(impl_.nodes.size()));
    const std::uint32_t n = it->second;
    if (inserted) {
        Node node;
        node.name = std::string(name);
        node.parent = parent;
        node.directory = copy.directory;
        impl_.nodes.push_back(std::move(node));
        lastSource_.push_back(copy.source);
        firstPending_.push_back(std::uint32_t(pending_.size()));
        pending_.emplace_back(n, copy);
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
