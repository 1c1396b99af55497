// Packing then reading back: every method over a tree with the awkward
// cases, the same bytes whatever the thread count, and the writer's refusals.
#include "hpiutil/archive.hpp"
#include "hpiutil/chunk.hpp"
#include "hpiutil/format.hpp"
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>
#include <map>

using namespace hpiutil;
using testsupport::TempDir;

namespace {

// The tree every round trip packs: archive path (UTF-8) to content.
std::map<std::string, std::vector<std::uint8_t>> sampleFiles() {
    std::map<std::string, std::vector<std::uint8_t>> f;
    f["empty.txt"] = {};
    f["units\\ARMCOM.FBI"] = {'[', 'U', 'N', 'I', 'T', ']'};
    f["units\\armcom_gadget.gaf"] = testsupport::randomBytes(3000, 1);
    f["anims\\deep\\er\\still\\x.bin"] = std::vector<std::uint8_t>(65535, 'a');
    f["anims\\exact.bin"] = testsupport::randomBytes(65536, 2);
    f["anims\\one_more.bin"] = testsupport::randomBytes(65537, 3);
    f["sounds\\run.wav"] = std::vector<std::uint8_t>(200000, 0);
    f["caf\xC3\xA9\\\xC3\xA9t\xC3\xA9 \xE2\x82\xAC.txt"] = {'e', 'u', 'r', 'o'};
    std::vector<std::uint8_t> mixed;
    for (int i = 0; i < 300000; ++i) {
        mixed.push_back(static_cast<std::uint8_t>(i % 7 == 0 ? (i * 31) & 0xFF : 'q'));
    }
    f["Mixed Case\\Big.Mix"] = mixed;
    return f;
}

ArchiveWriter sampleWriter() {
    ArchiveWriter w;
    for (auto& [path, bytes] : sampleFiles()) {
        EXPECT_TRUE(w.addBuffer(path, bytes)) << path;
    }
    EXPECT_TRUE(w.addDirectory("empty dir"));
    EXPECT_TRUE(w.addDirectory("anims\\nothing here"));
    return w;
}

void expectSampleTree(const Archive& a) {
    for (auto& [path, bytes] : sampleFiles()) {
        auto i = a.find(path);
        ASSERT_TRUE(i.has_value()) << path;
        auto got = a.readAll(a.entries()[*i]);
        ASSERT_TRUE(got.ok()) << got.error().message();
        EXPECT_EQ(got.value(), bytes) << path;
    }
    for (const char* dir : {"empty dir", "anims\\nothing here"}) {
        auto listed = a.list(dir);
        ASSERT_TRUE(listed.ok()) << dir;
        EXPECT_TRUE(listed->empty());
    }
    auto report = a.verify();
    EXPECT_TRUE(report.clean()) << (report.problems.empty() ? "" : report.problems[0].what);
}

} // namespace

TEST(RoundTrip, EveryMethodReadsBackExactly) {
    TempDir dir;
    for (Method m : {Method::None, Method::Lz77, Method::Zlib}) {
        SCOPED_TRACE(static_cast<int>(m));
        const auto target = dir / ("tree" + std::to_string(int(m)) + ".hpi");
        ASSERT_TRUE(sampleWriter().write(target, m));
        auto a = Archive::open(target);
        ASSERT_TRUE(a.ok()) << a.error().message();
        expectSampleTree(*a);
        EXPECT_EQ(a->info().headerKey, 0u);
        EXPECT_EQ(a->info().dirStart, 0x14u);
        EXPECT_TRUE(a->info().trailer);
        for (const auto& e : a->entries()) {
            if (!e.directory) {
                EXPECT_EQ(e.method, static_cast<std::uint8_t>(m)) << e.path;
            }
        }
    }
}

TEST(RoundTrip, LayoutIsCanonicalAndSortedWithoutRegardToCase) {
    TempDir dir;
    ArchiveWriter w;
    for (const char* name : {"b.txt", "A.txt", "c\\z", "C\\y", "a2"}) {
        // "c\\z" then "C\\y" go to the same directory.
        ASSERT_TRUE(w.addBuffer(name, {'x'})) << name;
    }
    ASSERT_TRUE(w.write(dir / "s.hpi", Method::Zlib));
    auto a = Archive::open(dir / "s.hpi");
    ASSERT_TRUE(a.ok());
    std::vector<std::string> order;
    for (const auto& e : a->entries()) {
        order.push_back(e.path);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"A.txt", "a2", "b.txt", "c", "c\\y", "c\\z"}));

    // Each entry array sits right after its record; the first payload starts at DirEnd.
    const auto bytes = testsupport::readFile(dir / "s.hpi");
    EXPECT_EQ(loadU32(bytes.data() + 0x14), 4u);
    EXPECT_EQ(loadU32(bytes.data() + 0x18), 0x1Cu);
    const Entry& first = a->entries()[0];
    EXPECT_EQ(first.dataOffset, a->info().dirEnd);
}

TEST(RoundTrip, ChunksAreExactAndCarryTheInnerEncoding) {
    TempDir dir;
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("f", testsupport::randomBytes(65536 * 2 + 10, 9)));
    ASSERT_TRUE(w.write(dir / "c.hpi", Method::Lz77));
    const auto bytes = testsupport::readFile(dir / "c.hpi");
    auto a = Archive::fromMemory(bytes);
    ASSERT_TRUE(a.ok());
    const Entry& e = a->entries()[0];
    std::uint64_t at = e.dataOffset + 3 * 4;
    const std::uint32_t expected[] = {65536, 65536, 10};
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t listed = loadU32(bytes.data() + e.dataOffset + 4 * i);
        auto h = parseChunkHeader(std::span(bytes).subspan(at, 19));
        ASSERT_TRUE(h.ok());
        EXPECT_EQ(h->version, 2);
        EXPECT_EQ(h->method, 1);
        EXPECT_EQ(h->encoded, 1);
        EXPECT_EQ(h->uncompressedSize, expected[i]);
        EXPECT_EQ(listed, 19 + h->compressedSize);
        // Incompressible data stays within the LZ77 worst case.
        EXPECT_LE(h->compressedSize, expected[i] + (expected[i] + 8) / 8 + 2);
        at += listed;
    }
    EXPECT_EQ(at + kTrailerSize, bytes.size());
}

TEST(RoundTrip, OutputDoesNotDependOnTheThreadCount) {
    TempDir dir;
    auto w = sampleWriter();
    std::vector<std::vector<std::uint8_t>> outputs;
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
        for (Method m : {Method::Lz77, Method::Zlib}) {
            const auto target =
                dir / ("t" + std::to_string(threads) + "_" + std::to_string(int(m)) + ".hpi");
            ASSERT_TRUE(w.write(target, m, {}, threads));
            outputs.push_back(testsupport::readFile(target));
        }
    }
    for (std::size_t i = 2; i < outputs.size(); ++i) {
        EXPECT_EQ(outputs[i], outputs[i % 2]) << "output " << i;
    }
}

TEST(RoundTrip, DiskSourcesArePackedAndProgressReachesItsMaxima) {
    TempDir dir;
    testsupport::writeFile(dir / "src" / "a.bin", testsupport::randomBytes(70000, 5));
    testsupport::writeFile(dir / "src" / "b.txt", std::string_view("hello"));
    ArchiveWriter w;
    ASSERT_TRUE(w.addFile("x\\a.bin", dir / "src" / "a.bin"));
    ASSERT_TRUE(w.addFile("b.txt", dir / "src" / "b.txt"));
    std::vector<PackProgress> seen;
    std::vector<std::string> names;
    ASSERT_TRUE(w.write(dir / "d.hpi", Method::Zlib, [&](const PackProgress& p) {
        seen.push_back(p);
        names.emplace_back(p.file);
    }));
    ASSERT_FALSE(seen.empty());
    const PackProgress& last = seen.back();
    EXPECT_EQ(last.filesDone, 2u);
    EXPECT_EQ(last.filesTotal, 2u);
    EXPECT_EQ(last.archiveDone, 70005u);
    EXPECT_EQ(last.archiveTotal, 70005u);
    EXPECT_EQ(last.fileDone, last.fileTotal);
    for (std::size_t i = 1; i < seen.size(); ++i) {
        EXPECT_GE(seen[i].archiveDone, seen[i - 1].archiveDone);
        EXPECT_GE(seen[i].filesDone, seen[i - 1].filesDone);
    }
    EXPECT_EQ(names.front(), "b.txt"); // directory order: b.txt before x
    auto a = Archive::open(dir / "d.hpi");
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a->readAll(a->entries()[*a->find("X\\A.BIN")]).value(),
              testsupport::readFile(dir / "src" / "a.bin"));
}

TEST(RoundTrip, WriterRefusesBadAndDuplicateNames) {
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("dir\\File.txt", {}));
    EXPECT_FALSE(w.addBuffer("DIR\\file.TXT", {}));    // same name, other case
    EXPECT_FALSE(w.addBuffer("dir\\file.txt\\x", {})); // a file used as a directory
    EXPECT_FALSE(w.addBuffer("dir", {}));              // a directory used as a file
    EXPECT_TRUE(w.addDirectory("Dir"));                // the same directory again is fine
    for (const char* bad : {"", "\\lead", "trail\\", "a\\\\b", ".", "..\\x", "a\\..", "a/b",
                            "what?", "c:x", "tab\there", "\xE4\xB8\xAD.txt"}) {
        EXPECT_FALSE(w.addBuffer(bad, {})) << bad;
    }
    EXPECT_EQ(w.fileCount(), 1u);
    // A refused path queues none of its folders ("trail\\" nor "a\\\\b").
    testsupport::TempDir dir;
    ASSERT_TRUE(w.write(dir / "n.hpi", Method::None));
    auto a = Archive::open(dir / "n.hpi");
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a->entries().size(), 2u);
}
