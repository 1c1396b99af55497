// The work the library spreads over threads gives what one thread gives:
// verify reports the same problems in the same order, and extraction writes
// the same tree and reports the same failures, on damaged archives and on the
// real ones, whatever the number of threads; reads that reuse their buffers
// give what reads in another order give.
#include "hpiutil/archive.hpp"
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

using namespace hpiutil;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Problems as comparable text, one line each.
std::vector<std::string> lines(const VerifyReport& report) {
    std::vector<std::string> out;
    for (const Problem& p : report.problems) {
        out.push_back(std::to_string(int(p.severity)) + " " + p.member + " @" +
                      std::to_string(p.offset) + " " + p.what);
    }
    out.push_back(std::to_string(report.filesChecked) + " files " +
                  std::to_string(report.chunksChecked) + " chunks " +
                  std::to_string(report.bytesChecked) + " bytes");
    return out;
}

// An archive of 30 files in 6 folders, one or two chunks each.
Bytes manyFiles(Method method) {
    testsupport::TempDir dir;
    ArchiveWriter w;
    std::mt19937 random(7);
    for (int i = 0; i < 30; ++i) {
        Bytes bytes(1000 + random() % (kChunkSize + kChunkSize / 2));
        for (auto& b : bytes) {
            b = std::uint8_t(random() % 7 == 0 ? random() : 'a' + i % 3);
        }
        EXPECT_TRUE(w.addBuffer("dir" + std::to_string(i % 6) + "\\file" + std::to_string(i),
                                std::move(bytes)));
    }
    EXPECT_TRUE(w.write(dir / "many.hpi", method));
    return testsupport::readFile(dir / "many.hpi");
}

// Every file below `root` with its bytes, and the failures sorted (threads
// finish in any order).
std::map<std::string, Bytes> extracted(const Archive& a, const fs::path& root, unsigned threads,
                                       bool withProgress, std::vector<std::string>& failures) {
    std::uint32_t lastDone = 0;
    ExtractProgress progress;
    if (withProgress) {
        progress = [&](std::uint32_t done, std::uint32_t, std::string_view) {
            EXPECT_GE(done, lastDone);
            lastDone = done;
        };
    }
    const ExtractSummary s = a.extractTree(root, {}, progress, threads);
    failures.clear();
    for (const Error& e : s.failures) {
        failures.push_back(e.message());
    }
    std::sort(failures.begin(), failures.end());
    std::map<std::string, Bytes> files;
    for (const auto& f : fs::recursive_directory_iterator(root)) {
        if (f.is_regular_file()) {
            files[fs::relative(f.path(), root).string()] = testsupport::readFile(f.path());
        }
    }
    return files;
}

void expectSameExtraction(const Archive& a) {
    testsupport::TempDir dir;
    std::vector<std::string> oneFailures, failures;
    const auto one = extracted(a, dir / "one", 1, false, oneFailures);
    const auto many = extracted(a, dir / "many", 0, true, failures);
    EXPECT_EQ(many, one);
    EXPECT_EQ(failures.size(), oneFailures.size());
    // Reading the members backwards leaves other bytes in the reused buffers.
    std::vector<const Entry*> files;
    for (const Entry& e : a.entries()) {
        if (!e.directory) {
            files.push_back(&e);
        }
    }
    std::vector<std::string> forward, backward;
    for (const Entry* e : files) {
        auto r = a.readAll(*e);
        forward.push_back(r ? std::string(r->begin(), r->end()) : r.error().message());
    }
    for (auto it = files.rbegin(); it != files.rend(); ++it) {
        auto r = a.readAll(**it);
        backward.push_back(r ? std::string(r->begin(), r->end()) : r.error().message());
    }
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, forward);
}

void expectSameAtEveryThreadCount(const Archive& a) {
    const auto one = lines(a.verify(1));
    for (unsigned threads : {0u, 3u}) {
        EXPECT_EQ(lines(a.verify(threads)), one) << threads << " threads";
    }
}

} // namespace

TEST(Parallel, VerifyReportsInArchiveOrderOnDamagedArchives) {
    for (const Method method : {Method::Zlib, Method::Lz77}) {
        const Bytes good = manyFiles(method);
        std::mt19937 random(11);
        std::size_t damagedReports = 0;
        for (int round = 0; round < 16; ++round) {
            Bytes bad = good;
            // A few bytes past the header: chunks, tables, records, names.
            for (int k = 0; k < 1 + round % 8; ++k) {
                bad[20 + random() % (bad.size() - 20)] ^= std::uint8_t(1 + random() % 255);
            }
            auto a = Archive::fromMemory(bad);
            if (!a) {
                continue;
            }
            SCOPED_TRACE("round " + std::to_string(round));
            expectSameAtEveryThreadCount(*a);
            if (round % 4 == 0) {
                expectSameExtraction(*a);
            }
            damagedReports += a->verify(1).errorCount() > 0 ? 1 : 0;
        }
        EXPECT_GT(damagedReports, 4u); // the damage was seen, not just skipped
    }
}

TEST(Parallel, VerifyOnRealArchives) {
    for (const char* name :
         {"archives/ArmBani.ufo", "archives/ArmImp.ufo", "archives/ArmSLab.ufo"}) {
        SCOPED_TRACE(name);
        TOOLKIT_REQUIRE_REAL(name, path);
        auto a = Archive::open(path);
        ASSERT_TRUE(a.ok()) << a.error().message();
        expectSameAtEveryThreadCount(*a);
        expectSameExtraction(*a);
        // Damaged copies too.
        const Bytes good = testsupport::readFile(path);
        std::mt19937 random(3);
        for (int round = 0; round < 10; ++round) {
            Bytes bad = good;
            bad[random() % bad.size()] ^= 0x5A;
            if (auto b = Archive::fromMemory(bad)) {
                expectSameAtEveryThreadCount(*b);
                if (round % 4 == 0) {
                    expectSameExtraction(*b);
                }
            }
        }
    }
}
