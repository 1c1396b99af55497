// The format's minimal archives read back, and our writer reproducing one
// of them byte for byte.
#include "hpiutil/archive.hpp"
#include "hpiutil/writer.hpp"
#include "vectors.hpp"

#include <gtest/gtest.h>

using namespace hpiutil;

namespace {

std::string readText(const Archive& a, std::string_view path) {
    auto i = a.find(path);
    EXPECT_TRUE(i.has_value()) << path;
    if (!i || *i < 0) {
        return {};
    }
    auto bytes = a.readAll(a.entries()[*i]);
    EXPECT_TRUE(bytes.ok()) << (bytes ? "" : bytes.error().message());
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

} // namespace

TEST(Vectors, MinimalArchivesReadBack) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        std::uint32_t key;
    };
    const Case cases[] = {{"lz77", vectors::minimalLz77(), 0},
                          {"lz77 key 0xBF", vectors::minimalLz77Key(), 0xBF},
                          {"lz77 inner", vectors::minimalLz77Encoded(), 0},
                          {"lz77 inner key 0xBF", vectors::minimalLz77EncodedKey(), 0xBF},
                          {"zlib", vectors::minimalZlib(), 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto a = Archive::fromMemory(c.bytes);
        ASSERT_TRUE(a.ok()) << a.error().message();
        EXPECT_EQ(a->info().headerKey, c.key);
        EXPECT_EQ(a->info().dirEnd, 0x34u);
        EXPECT_TRUE(a->info().trailer);
        ASSERT_EQ(a->entries().size(), 1u);
        EXPECT_EQ(a->entries()[0].path, "A.TXT");
        EXPECT_EQ(a->entries()[0].size, 8u);
        EXPECT_EQ(readText(*a, "a.txt"), "ABABABAB");
        EXPECT_TRUE(a->verify().clean());
    }
    EXPECT_EQ(vectors::minimalZlib().size(), 123u);
}

TEST(Vectors, WriterReproducesTheEncodedMinimalArchive) {
    testsupport::TempDir dir;
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("A.TXT", {'A', 'B', 'A', 'B', 'A', 'B', 'A', 'B'}));
    ASSERT_TRUE(w.write(dir / "a.hpi", Method::Lz77));
    EXPECT_EQ(testsupport::readFile(dir / "a.hpi"), vectors::minimalLz77Encoded());
}

TEST(Vectors, ChecksumAndSizeMismatchesAreCaught) {
    // Checksum byte wrong.
    auto bad = vectors::minimalLz77();
    bad[0x47] ^= 1;
    auto a = Archive::fromMemory(bad);
    ASSERT_TRUE(a.ok());
    auto r = a->readAll(a->entries()[0]);
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().what.find("checksum"), std::string::npos);
    EXPECT_EQ(r.error().member, "A.TXT");
    EXPECT_EQ(r.error().offset, 0x38);
    EXPECT_EQ(a->verify().errorCount(), 1u);

    // The file record claims 9 bytes: the chunk holds 8.
    auto longer = vectors::minimalLz77();
    longer[0x2F] = 9;
    auto b = Archive::fromMemory(longer);
    ASSERT_TRUE(b.ok());
    EXPECT_FALSE(b->readAll(b->entries()[0]).ok());

    // A wrong chunk table entry is tolerated but reported.
    auto table = vectors::minimalLz77();
    table[0x34] = 0x1B;
    auto c = Archive::fromMemory(table);
    ASSERT_TRUE(c.ok());
    EXPECT_EQ(readText(*c, "A.TXT"), "ABABABAB");
    auto report = c->verify();
    EXPECT_EQ(report.errorCount(), 0u);
    EXPECT_FALSE(report.clean());
}
