// Whole-archive verification: structure, names, and every chunk of every file.
#include "archive_impl.hpp"
#include "hpiutil/codepage.hpp"
#include "hpiutil/paths.hpp"

#include <algorithm>

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

} // namespace

VerifyReport Archive::verify() const {
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
    for (std::size_t i = 0; i < impl_->entries.size(); ++i) {
        const Entry& e = impl_->entries[i];
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
        ++report.filesChecked;
        std::uint64_t bytes = 0;
        auto st = impl_->readFile(
            e,
            [&bytes](std::span<const std::uint8_t> b) -> Status {
                bytes += b.size();
                return {};
            },
            &report.problems, &report.chunksChecked);
        report.bytesChecked += bytes;
        if (!st) {
            const Error& err = st.error();
            report.problems.push_back({Problem::Severity::Error, e.path, err.offset, err.what});
        }
    }
    return report;
}

} // namespace hpiutil
