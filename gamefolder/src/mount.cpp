// Mounting: the archives of the folder's top level in mount order, each
// opened once, then merged after the loose files.
#include "archive_opener.hpp"
#include "game_folder_impl.hpp"

#include "common/codepage.hpp"

#include <algorithm>
#include <map>
#include <thread>

namespace gamefolder {

namespace fs = std::filesystem;

namespace {

struct Listed {
    std::string name;
    Candidate candidate;
};

// The archives of the top level, grouped and ordered as they are mounted.
Result<std::vector<Listed>> listArchives(const fs::path& folder) {
    std::error_code ec;
    std::vector<Listed> listed;
    fs::directory_iterator it(folder, ec);
    for (fs::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (auto c = classify(name)) {
            listed.push_back(Listed{std::move(name), *c});
        }
    }
    if (ec) {
        Error e = hpiutil::fail("cannot read the folder: " + ec.message());
        e.file = folder.string();
        return e;
    }
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        if (a.candidate.kind != b.candidate.kind) {
            return a.candidate.kind < b.candidate.kind;
        }
        return mountsBefore(a.name, b.name);
    });
    return listed;
}

// Why an archive of the folder is not mounted, as far as its name and the
// file it names tell; empty when it is to be opened.
std::string precheck(const fs::path& path, const Listed& entry, const Listed* previous,
                     std::map<fs::path, std::string>& seen) {
    if (entry.candidate.notMounted) {
        return "the game mounts only the .gp3 archives whose names start with \"rev\"";
    }
    if (previous && previous->candidate.kind == entry.candidate.kind &&
        common::equalsFolded(GameFolder::Impl::gameBytes(previous->name),
                             GameFolder::Impl::gameBytes(entry.name))) {
        return "its name differs from " + previous->name +
               " only in case; the game mounts one archive of each name";
    }
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec || !fs::exists(st)) {
        return "a link to nothing";
    }
    if (!fs::is_regular_file(st)) {
        return "not a file";
    }
    const fs::path real = fs::canonical(path, ec);
    if (!ec) {
        auto [it, fresh] = seen.try_emplace(real, entry.name);
        if (!fresh) {
            return "the same file as " + it->second + " (through a link)";
        }
    }
    return {};
}

// Adds an archive's entries to the tree; `nodeOf` is room for each entry's node.
void mergeArchive(GameFolder::Impl& impl, TreeBuilder& builder, std::uint32_t source,
                  std::vector<std::int32_t>& nodeOf) {
    const hpiutil::Archive& archive = *impl.archives[source];
    const auto& entries = archive.entries();
    nodeOf.resize(entries.size());
    std::uint32_t files = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const hpiutil::Entry& e = entries[i];
        const std::int32_t parent = e.parent < 0 ? -1 : nodeOf[std::size_t(e.parent)];
        nodeOf[i] = builder.add(parent, e.name, e.rawName,
                                Copy{source, e.directory, e.size, std::uint32_t(i)});
        files += e.directory ? 0 : 1;
    }
    impl.sources[source].members = files;
}

} // namespace

Result<GameFolder> GameFolder::mount(const fs::path& folder) {
    auto impl = std::make_unique<Impl>();
    impl->folder = folder;
    auto listed = listArchives(folder);
    if (!listed) {
        return std::move(listed).error();
    }
    Source loose;
    loose.path = folder;
    loose.kind = SourceKind::Loose;
    impl->sources.push_back(loose);
    impl->archives.emplace_back();

    std::map<fs::path, std::string> seen;
    const Listed* previous = nullptr;
    for (const Listed& entry : *listed) {
        Source s;
        s.path = folder / entry.name;
        s.name = entry.name;
        s.kind = entry.candidate.kind;
        s.reason = precheck(s.path, entry, previous, seen);
        s.skipped = !s.reason.empty();
        previous = &entry;
        impl->sources.push_back(std::move(s));
        impl->archives.emplace_back();
    }
    // The archives open on every core while this thread walks the loose
    // files and then merges each archive as soon as it is open.
    const std::size_t threads = std::min<std::size_t>(
        {std::max(1u, std::thread::hardware_concurrency()), 8, impl->sources.size() / 4 + 1});
    ArchiveOpener opener(*impl, threads);
    TreeBuilder builder(*impl);
    mountLooseFiles(*impl, builder);
    std::vector<std::int32_t> nodeOf;
    for (std::uint32_t source = 1; source < impl->sources.size(); ++source) {
        opener.waitFor(source);
        if (impl->archives[source]) {
            builder.reserve(opener.entriesFrom(source));
            mergeArchive(*impl, builder, source, nodeOf);
        }
    }
    builder.finish();
    return GameFolder(std::move(impl));
}

} // namespace gamefolder
