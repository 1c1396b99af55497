// Whole-archive verification: structure, names, and every chunk of every file.
#include "archive_impl.hpp"
#include "hpiutil/codepage.hpp"
#include "hpiutil/paths.hpp"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <thread>

namespace hpiutil {

bool VerifyReport::clean() const {
    return problems.empty();
}

std::size_t VerifyReport::errorCount() const {
    return static_cast<std::size_t>(
        std::count_if(problems.begin(), problems.end(),
                      [](const Problem& p) { return p.severity == Problem::Severity::Error; }));
}

namespace {

void checkDuplicates(const Archive& archive, std::int32_t dir, VerifyReport& report) {
    auto kids = archive.children(dir);
    std::vector<std::uint32_t> sorted(kids.begin(), kids.end());
    const auto& entries = archive.entries();
    std::vector<std::pair<std::string, std::uint32_t>> keyed;
    keyed.reserve(sorted.size());
    for (auto i : sorted) {
        keyed.emplace_back(foldedName(entries[i].rawName), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < keyed.size(); ++i) {
        if (keyed[i].first == keyed[i - 1].first) {
            const Entry& e = entries[keyed[i].second];
            report.problems.push_back({Problem::Severity::Warning, e.path, -1,
                                       "duplicate name in its directory (the first one is used)"});
        }
    }
}

// Names whose members would take other members' paths.
bool aliasingName(std::string_view raw) {
    return raw.empty() || raw == "." || raw == ".." || raw.find('\\') != raw.npos;
}

// What reading one file found: its notes, then the error that stopped it.
struct FileCheck {
    std::vector<Problem> problems;
    std::uint32_t chunks = 0;
    std::uint64_t bytes = 0;
};

} // namespace

VerifyReport Archive::verify(unsigned threads) const {
    // Files are read on all cores, each into its own slot; the report then
    // lists every problem in archive order, as one thread would have.
    const auto& entries = impl_->entries;
    std::vector<std::uint32_t> files;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].directory) {
            files.push_back(std::uint32_t(i));
        }
    }
    std::vector<FileCheck> checks(files.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t k = next.fetch_add(1); k < files.size(); k = next.fetch_add(1)) {
            const Entry& e = entries[files[k]];
            FileCheck& check = checks[k];
            auto st = impl_->readFile(
                e,
                [&check](std::span<const std::uint8_t> b) -> Status {
                    check.bytes += b.size();
                    return {};
                },
                &check.problems, &check.chunks);
            if (!st) {
                const Error& err = st.error();
                check.problems.push_back({Problem::Severity::Error, e.path, err.offset, err.what});
            }
        }
    };
    if (threads == 0) {
        threads = std::max(1u, std::thread::hardware_concurrency());
    }
    threads = unsigned(std::min<std::size_t>(threads, std::max<std::size_t>(files.size(), 1)));
    {
        std::vector<std::jthread> pool;
        for (unsigned t = 1; t < threads; ++t) {
            pool.emplace_back(work);
        }
        work();
    }

    VerifyReport report;
    if (!impl_->info.trailer) {
        report.problems.push_back({Problem::Severity::Warning, "", -1,
                                   "the file does not end with the trailer; the game skips it"});
    }
    if (impl_->info.headerKey > 0xFF) {
        report.problems.push_back(
            {Problem::Severity::Warning, "", 12,
             "header key has bits above the low byte; readers disagree on it"});
    }
    checkDuplicates(*this, -1, report);
    std::size_t filesSeen = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (aliasingName(e.rawName)) {
            // The format never stores these: they make paths ambiguous.
            report.problems.push_back(
                {Problem::Severity::Error, e.path, -1,
                 "the name (empty, \".\", \"..\" or holding '\\') makes member paths "
                 "ambiguous; it and everything under it are not extracted"});
        } else if (!e.unsafe.empty()) {
            report.problems.push_back({Problem::Severity::Warning, e.path, -1,
                                       "name cannot be extracted safely: " + e.unsafe});
        } else if (!safeRelativePath(e.path)) {
            report.problems.push_back(
                {Problem::Severity::Warning, e.path, -1, "name cannot be extracted safely"});
        }
        if (e.directory) {
            checkDuplicates(*this, std::int32_t(i), report);
            continue;
        }
        FileCheck& check = checks[filesSeen++];
        ++report.filesChecked;
        report.chunksChecked += check.chunks;
        report.bytesChecked += check.bytes;
        std::move(check.problems.begin(), check.problems.end(),
                  std::back_inserter(report.problems));
    }
    return report;
}

} // namespace hpiutil
