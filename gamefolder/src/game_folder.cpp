#include "game_folder_impl.hpp"

#include "common/codepage.hpp"
#include "hpiutil/paths.hpp"

#include <array>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace gamefolder {

namespace fs = std::filesystem;

GameFolder::GameFolder(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
GameFolder::GameFolder(GameFolder&&) noexcept = default;
GameFolder& GameFolder::operator=(GameFolder&&) noexcept = default;
GameFolder::~GameFolder() = default;

const fs::path& GameFolder::folder() const {
    return impl_->folder;
}
const std::vector<Source>& GameFolder::sources() const {
    return impl_->sources;
}
const std::vector<Problem>& GameFolder::problems() const {
    return impl_->problems;
}
const std::vector<Node>& GameFolder::nodes() const {
    return impl_->nodes;
}

std::span<const std::uint32_t> GameFolder::children(std::int32_t node) const {
    if (node < 0) {
        return std::span(impl_->childList).subspan(impl_->rootBegin, impl_->rootCount);
    }
    if (std::size_t(node) >= impl_->nodes.size()) {
        return {};
    }
    const Node& n = impl_->nodes[std::size_t(node)];
    return std::span(impl_->childList).subspan(n.childBegin, n.childCount);
}

std::span<const Copy> GameFolder::copies(std::int32_t node) const {
    if (node < 0 || std::size_t(node) >= impl_->nodes.size()) {
        return {};
    }
    const Node& n = impl_->nodes[std::size_t(node)];
    return std::span(impl_->copyList).subspan(n.copyBegin, n.copyCount);
}

namespace {

// True when the UTF-8 name folds to `folded`; ASCII names are compared in
// place, others through `scratch`.
bool foldsTo(std::string_view name, std::string_view folded, std::string& scratch) {
    bool ascii = true;
    for (char c : name) {
        ascii &= static_cast<unsigned char>(c) < 0x80;
    }
    if (!ascii) {
        NameIndex::fold(GameFolder::Impl::gameBytes(name), scratch);
        return scratch == folded;
    }
    if (name.size() != folded.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (char(common::foldCp1252(static_cast<unsigned char>(name[i]))) != folded[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string GameFolder::Impl::pathOf(std::int32_t node) const {
    std::vector<std::string_view> parts;
    for (std::int32_t n = node; n >= 0; n = nodes[std::size_t(n)].parent) {
        parts.push_back(nodes[std::size_t(n)].name);
    }
    std::string path;
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
        if (!path.empty()) {
            path += '\\';
        }
        path += *it;
    }
    return path;
}

std::string GameFolder::Impl::sourceName(std::uint32_t source) const {
    if (source >= sources.size()) {
        return {};
    }
    return sources[source].kind == SourceKind::Loose ? std::string("(loose files)")
                                                     : sources[source].name;
}

std::string GameFolder::path(std::int32_t node) const {
    return impl_->pathOf(node);
}

std::string GameFolder::sourceName(std::uint32_t source) const {
    return impl_->sourceName(source);
}

std::optional<std::int32_t> GameFolder::find(std::string_view path) const {
    while (!path.empty() && path.front() == '\\') {
        path.remove_prefix(1);
    }
    while (!path.empty() && path.back() == '\\') {
        path.remove_suffix(1);
    }
    std::int32_t current = -1;
    if (path.empty()) {
        return current;
    }
    std::string folded;
    std::string other;
    for (std::string_view part : hpiutil::splitMemberPath(path)) {
        NameIndex::fold(Impl::gameBytes(part), folded);
        std::int32_t next = NameIndex::kAbsent;
        if (current < 0 || impl_->indexed[std::size_t(current)]) {
            next = impl_->index.find(current, folded);
        } else {
            // A folder of one source: its children in order, the first match wins.
            for (std::uint32_t c : children(current)) {
                if (foldsTo(impl_->nodes[c].name, folded, other)) {
                    next = std::int32_t(c);
                    break;
                }
            }
        }
        if (next == NameIndex::kAbsent) {
            return std::nullopt;
        }
        current = next;
    }
    return current;
}

Status GameFolder::readCopy(const Copy& copy, const ByteSink& sink) const {
    if (copy.directory) {
        return hpiutil::fail("a folder, not a file");
    }
    if (copy.source >= impl_->sources.size()) {
        return hpiutil::fail("no such source");
    }
    if (const auto& archive = impl_->archives[copy.source]) {
        return archive->read(archive->entries()[copy.entry], sink);
    }
    const fs::path file = impl_->folder / impl_->looseFiles.at(copy.entry);
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        Error e = hpiutil::fail("cannot open the file");
        e.file = file.string();
        return e;
    }
    std::vector<std::uint8_t> buffer(64 * 1024);
    while (in) {
        in.read(reinterpret_cast<char*>(buffer.data()), std::streamsize(buffer.size()));
        const auto got = std::size_t(in.gcount());
        if (got == 0) {
            break;
        }
        if (auto st = sink(std::span<const std::uint8_t>(buffer.data(), got)); !st) {
            return st;
        }
    }
    if (in.bad()) {
        Error e = hpiutil::fail("read error");
        e.file = file.string();
        return e;
    }
    return {};
}

Status GameFolder::read(std::int32_t node, const ByteSink& sink) const {
    auto list = copies(node);
    if (list.empty()) {
        return hpiutil::fail("no such member");
    }
    auto st = readCopy(list.front(), sink);
    if (!st) {
        Error e = std::move(st).error();
        if (e.member.empty()) {
            e.member = path(node);
        }
        return e;
    }
    return {};
}

} // namespace gamefolder
