#include "commands.hpp"
#include "common/json.hpp"
#include "common/terminal_text.hpp"

#include "hpiutil/archive.hpp"
#include "hpiutil/interrupt.hpp"
#include "hpiutil/paths.hpp"
#include "hpiutil/writer.hpp"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace hpitool {

namespace fs = std::filesystem;
using hpiutil::Archive;

namespace {

const char* kUsage = R"(usage: hpi COMMAND ...

  hpi list [-l] ARCHIVE            list every member (directories end with \);
                                   -l adds type, size and method
  hpi extract ARCHIVE [-C DIR] [MEMBER...]
                                   extract members (files or directories; all
                                   when none is named) below DIR (default .)
  hpi cat ARCHIVE MEMBER           write one member to standard output
  hpi pack [-m none|lz77|zlib] DIR ARCHIVE
                                   pack every file below DIR (hidden files and
                                   anything not a regular file are left out);
                                   method zlib unless told
  hpi verify ARCHIVE               check every chunk, checksum, size, the chunk
                                   tables and the trailer; report duplicates
  hpi info ARCHIVE                 describe the archive as JSON

Member paths use \ between components and match without regard to case.
Exit status: 0 success, 1 failure, 2 usage error.
)";

bool progressWanted() {
    return ::isatty(STDERR_FILENO) == 1;
}

Archive* openOrComplain(const std::string& path, std::optional<Archive>& slot) {
    auto opened = Archive::open(path);
    if (!opened) {
        complain(opened.error().message(), 1);
        return nullptr;
    }
    slot.emplace(std::move(opened.value()));
    return &*slot;
}

const char* methodName(std::uint8_t m) {
    switch (m) {
    case 0:
        return "stored";
    case 1:
        return "lz77";
    case 2:
        return "zlib";
    default:
        return "other";
    }
}

} // namespace

void usage(bool toStderr) {
    (toStderr ? std::cerr : std::cout) << kUsage;
}

int complain(const std::string& message, int code) {
    std::cerr << "hpi: " << common::forStream(message, stderr) << "\n";
    return code;
}

int list(const Args& args) {
    bool longForm = false;
    std::string archivePath;
    for (const auto& a : args) {
        if (a == "-l") {
            longForm = true;
        } else if (archivePath.empty()) {
            archivePath = a;
        } else {
            return complain("list takes one archive", 2);
        }
    }
    if (archivePath.empty()) {
        return complain("list needs an archive", 2);
    }
    std::optional<Archive> slot;
    Archive* archive = openOrComplain(archivePath, slot);
    if (!archive) {
        return 1;
    }
    // A name's control characters never reach a terminal raw.
    const bool escape = common::isTerminal(stdout);
    std::string shown;
    for (const auto& e : archive->entries()) {
        shown = escape ? common::escapeControls(e.path) : e.path;
        if (longForm) {
            std::printf("%c %10u %-6s %s%s\n", e.directory ? 'd' : '-', e.size,
                        e.directory ? "" : methodName(e.method), shown.c_str(),
                        e.directory ? "\\" : "");
        } else {
            std::printf("%s%s\n", shown.c_str(), e.directory ? "\\" : "");
        }
    }
    return 0;
}

int extract(const Args& args) {
    hpiutil::RemoveUnfinishedFilesOnSignal();
    std::string archivePath;
    fs::path dest = ".";
    std::vector<std::string> members;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-C") {
            if (i + 1 >= args.size()) {
                return complain("-C needs a folder", 2);
            }
            dest = args[++i];
        } else if (archivePath.empty()) {
            archivePath = args[i];
        } else {
            members.push_back(args[i]);
        }
    }
    if (archivePath.empty()) {
        return complain("extract needs an archive", 2);
    }
    std::optional<Archive> slot;
    Archive* archive = openOrComplain(archivePath, slot);
    if (!archive) {
        return 1;
    }
    std::vector<std::int32_t> roots;
    int status = 0;
    for (const auto& m : members) {
        auto found = archive->find(m);
        if (!found) {
            complain(archivePath + ": no member \"" + m + "\"", 1);
            status = 1;
            continue;
        }
        roots.push_back(*found);
    }
    if (!members.empty() && roots.empty()) {
        return 1;
    }
    const bool show = progressWanted();
    auto summary = archive->extractTree(
        dest, roots,
        show ? hpiutil::ExtractProgress(
                   [](std::uint32_t done, std::uint32_t total, std::string_view) {
                       std::fprintf(stderr, "\rextracting %u/%u", done, total);
                   })
             : hpiutil::ExtractProgress());
    if (show) {
        std::fprintf(stderr, "\n");
    }
    for (const auto& f : summary.failures) {
        complain(f.message(), 1);
        status = 1;
    }
    return status;
}

int cat(const Args& args) {
    if (args.size() != 2) {
        return complain("cat needs an archive and a member", 2);
    }
    std::optional<Archive> slot;
    Archive* archive = openOrComplain(args[0], slot);
    if (!archive) {
        return 1;
    }
    auto found = archive->find(args[1]);
    if (!found || *found < 0 || archive->entries()[std::size_t(*found)].directory) {
        return complain(args[0] + ": no file \"" + args[1] + "\"", 1);
    }
    auto st = archive->read(archive->entries()[std::size_t(*found)], WriteToStandardOutput);
    std::fflush(stdout);
    if (!st) {
        return complain(st.error().message(), 1);
    }
    return 0;
}

hpiutil::Status WriteToStandardOutput(std::span<const std::uint8_t> bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
        return hpiutil::fail("cannot write to standard output");
    }
    return {};
}

int pack(const Args& args) {
    hpiutil::RemoveUnfinishedFilesOnSignal();
    hpiutil::Method method = hpiutil::Method::Zlib;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-m") {
            if (i + 1 >= args.size()) {
                return complain("-m needs none, lz77 or zlib", 2);
            }
            const std::string& m = args[++i];
            if (m == "none") {
                method = hpiutil::Method::None;
            } else if (m == "lz77") {
                method = hpiutil::Method::Lz77;
            } else if (m == "zlib") {
                method = hpiutil::Method::Zlib;
            } else {
                return complain("unknown method \"" + m + "\" (none, lz77 or zlib)", 2);
            }
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() != 2) {
        return complain("pack needs a folder and an archive", 2);
    }
    const fs::path root = rest[0];
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        return complain(rest[0] + ": not a folder", 1);
    }
    hpiutil::ArchiveWriter writer;
    auto it = fs::recursive_directory_iterator(root, fs::directory_options::none, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.filename().string().starts_with(".")) {
            if (it->is_directory()) {
                it.disable_recursion_pending();
            }
            continue;
        }
        const std::string member = hpiutil::memberPathOf(fs::relative(p, root));
        const auto st = it->symlink_status();
        hpiutil::Status added;
        if (fs::is_directory(st)) {
            added = writer.addDirectory(member);
        } else if (fs::is_regular_file(st)) {
            added = writer.addFile(member, p);
        } else {
            continue;
        }
        if (!added) {
            return complain(p.string() + ": " + added.error().what, 1);
        }
    }
    if (ec) {
        return complain(rest[0] + ": " + ec.message(), 1);
    }
    const bool show = progressWanted();
    auto st = writer.write(
        rest[1], method,
        show ? hpiutil::PackProgressFn([](const hpiutil::PackProgress& p) {
            const unsigned pct =
                p.archiveTotal ? unsigned(p.archiveDone * 100 / p.archiveTotal) : 100;
            std::fprintf(stderr, "\rpacking %u/%u files, %u%%", p.filesDone, p.filesTotal, pct);
        })
             : hpiutil::PackProgressFn());
    if (show) {
        std::fprintf(stderr, "\n");
    }
    if (!st) {
        return complain(st.error().message(), 1);
    }
    return 0;
}

int verify(const Args& args) {
    if (args.size() != 1) {
        return complain("verify needs one archive", 2);
    }
    std::optional<Archive> slot;
    Archive* archive = openOrComplain(args[0], slot);
    if (!archive) {
        return 1;
    }
    const auto report = archive->verify();
    for (const auto& p : report.problems) {
        hpiutil::Error e;
        e.file = args[0];
        e.member = p.member;
        e.offset = p.offset;
        e.what = p.what;
        std::printf("%s: %s\n",
                    p.severity == hpiutil::Problem::Severity::Error ? "error" : "warning",
                    common::forStream(e.message(), stdout).c_str());
    }
    std::printf("%s: %u files, %u chunks, %llu bytes checked; %zu errors, %zu warnings\n",
                common::forStream(args[0], stdout).c_str(), report.filesChecked,
                report.chunksChecked, static_cast<unsigned long long>(report.bytesChecked),
                report.errorCount(), report.problems.size() - report.errorCount());
    return report.errorCount() == 0 ? 0 : 1;
}

int info(const Args& args) {
    if (args.size() != 1) {
        return complain("info needs one archive", 2);
    }
    std::optional<Archive> slot;
    Archive* archive = openOrComplain(args[0], slot);
    if (!archive) {
        return 1;
    }
    const auto& i = archive->info();
    std::uint64_t files = 0, dirs = 0, bytes = 0, methods[3] = {0, 0, 0}, other = 0;
    for (const auto& e : archive->entries()) {
        if (e.directory) {
            ++dirs;
            continue;
        }
        ++files;
        bytes += e.size;
        if (e.method <= 2) {
            ++methods[e.method];
        } else {
            ++other;
        }
    }
    std::printf(
        "{\"file\":%s,\"size\":%llu,\"version\":1,\"headerKey\":%u,\"encrypted\":%s,"
        "\"dirStart\":%u,\"dirEnd\":%u,\"trailer\":%s,\"files\":%llu,\"directories\":%llu,"
        "\"uncompressedBytes\":%llu,\"methods\":{\"stored\":%llu,\"lz77\":%llu,"
        "\"zlib\":%llu,\"other\":%llu}}\n",
        common::jsonString(args[0]).c_str(), static_cast<unsigned long long>(i.fileSize),
        i.headerKey, (i.headerKey & 0xFF) ? "true" : "false", i.dirStart, i.dirEnd,
        i.trailer ? "true" : "false", static_cast<unsigned long long>(files),
        static_cast<unsigned long long>(dirs), static_cast<unsigned long long>(bytes),
        static_cast<unsigned long long>(methods[0]), static_cast<unsigned long long>(methods[1]),
        static_cast<unsigned long long>(methods[2]), static_cast<unsigned long long>(other));
    return 0;
}

} // namespace hpitool
