// The C contract: listing protocol, lookups, handle lifetimes, the pack
// handle and its progress callback, and the game directory lookup.
#include "hpiutil/hpiutil.h"
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

using testsupport::TempDir;

namespace {

struct Listed {
    std::string name;
    int type;
    int size;
    bool operator==(const Listed&) const = default;
};

std::string makeArchive(const TempDir& dir) {
    hpiutil::ArchiveWriter w;
    EXPECT_TRUE(w.addBuffer("units\\ARMCOM.FBI", std::vector<std::uint8_t>(10, 'u')));
    EXPECT_TRUE(w.addBuffer("units\\x.txt", std::vector<std::uint8_t>(3, 'x')));
    EXPECT_TRUE(w.addBuffer("readme.txt", std::vector<std::uint8_t>(5, 'r')));
    EXPECT_TRUE(w.addDirectory("empty"));
    const auto path = (dir / "a.hpi").string();
    EXPECT_TRUE(w.write(path, hpiutil::Method::Lz77));
    return path;
}

std::vector<Listed> listAll(std::int32_t h, const char* dir) {
    std::vector<Listed> out;
    std::int32_t index = 0;
    for (int guard = 0; guard < 100; ++guard) {
        char name[HPI_NAME_BUFFER];
        std::memset(name, ' ', sizeof name);
        std::int32_t type = -1, size = -1;
        const std::int32_t next = dir ? HPIDir(h, index, dir, name, &type, &size)
                                      : HPIGetFiles(h, index, name, &type, &size);
        if (next == 0) {
            break;
        }
        out.push_back({name, type, size});
        index = next;
    }
    return out;
}

} // namespace

TEST(CContract, ListingProtocol) {
    TempDir dir;
    const auto path = makeArchive(dir);
    const std::int32_t h = HPIOpen(path.c_str());
    ASSERT_NE(h, 0);
    EXPECT_EQ(listAll(h, nullptr), (std::vector<Listed>{{"empty", 1, 0},
                                                        {"readme.txt", 0, 5},
                                                        {"units", 1, 0},
                                                        {"units\\ARMCOM.FBI", 0, 10},
                                                        {"units\\x.txt", 0, 3}}));
    EXPECT_EQ(listAll(h, ""),
              (std::vector<Listed>{{"empty", 1, 0}, {"readme.txt", 0, 5}, {"units", 1, 0}}));
    EXPECT_EQ(listAll(h, "UNITS"), (std::vector<Listed>{{"ARMCOM.FBI", 0, 10}, {"x.txt", 0, 3}}));
    EXPECT_TRUE(listAll(h, "empty").empty());
    EXPECT_TRUE(listAll(h, "missing").empty());
    EXPECT_TRUE(listAll(h, "readme.txt").empty()); // a file is not a directory
    // Alternating between directories keeps each listing right.
    char name[HPI_NAME_BUFFER];
    std::int32_t type, size;
    EXPECT_EQ(HPIDir(h, 1, "units", name, &type, &size), 2);
    EXPECT_STREQ(name, "x.txt");
    EXPECT_EQ(HPIDir(h, 0, "", name, &type, &size), 1);
    EXPECT_STREQ(name, "empty");
    EXPECT_EQ(HPIGetFiles(h, -1, name, &type, &size), 0);
    HPIClose(h);
}

TEST(CContract, ExtractLooksUpWithoutRegardToCase) {
    TempDir dir;
    const auto path = makeArchive(dir);
    const std::int32_t h = HPIOpen(path.c_str());
    ASSERT_NE(h, 0);
    const auto dest = (dir / "out.fbi").string();
    EXPECT_NE(HPIExtractFile(h, "Units\\armcom.fbi", dest.c_str()), 0);
    EXPECT_EQ(testsupport::readFile(dest), std::vector<std::uint8_t>(10, 'u'));
    EXPECT_EQ(HPIExtractFile(h, "units", (dir / "d").c_str()), 0);       // a directory
    EXPECT_EQ(HPIExtractFile(h, "units\\nope", (dir / "n").c_str()), 0); // missing
    EXPECT_NE(std::string(HPILastError()).find("nope"), std::string::npos);
    EXPECT_EQ(HPIExtractFile(h, "readme.txt", (dir / "no" / "such" / "dir").c_str()), 0);
    HPIClose(h);
}

TEST(CContract, HandlesFailWhenUnknownOrEnded) {
    TempDir dir;
    const auto path = makeArchive(dir);
    HPIClose(0); // nothing open: does nothing
    EXPECT_EQ(HPIOpen((dir / "missing.hpi").c_str()), 0);
    testsupport::writeFile(dir / "junk.hpi", std::string_view("not an archive at all"));
    EXPECT_EQ(HPIOpen((dir / "junk.hpi").c_str()), 0);

    const std::int32_t h = HPIOpen(path.c_str());
    ASSERT_NE(h, 0);
    HPIClose(h);
    char name[HPI_NAME_BUFFER];
    std::int32_t type, size;
    EXPECT_EQ(HPIGetFiles(h, 0, name, &type, &size), 0);
    EXPECT_EQ(HPIDir(h, 0, "", name, &type, &size), 0);
    EXPECT_EQ(HPIExtractFile(h, "readme.txt", (dir / "r").c_str()), 0);
    HPIClose(h); // twice: still nothing happens
    EXPECT_EQ(HPIGetFiles(12345, 0, name, &type, &size), 0);

    // An archive handle is not a pack handle and the other way round.
    const std::int32_t a = HPIOpen(path.c_str());
    EXPECT_EQ(HPIAddFile(a, "x", path.c_str()), 0);
    EXPECT_EQ(HPIPackArchive(a, 1), 0);
    const std::int32_t p = HPICreate((dir / "new.hpi").c_str(), nullptr);
    ASSERT_NE(p, 0);
    EXPECT_NE(p, a);
    EXPECT_EQ(HPIGetFiles(p, 0, name, &type, &size), 0);
    HPIClose(a);
    // HPIPackArchive ends the pack handle whatever its result.
    EXPECT_EQ(HPIPackArchive(p, 7), 0);
    EXPECT_EQ(HPIPackArchive(p, 1), 0);
    EXPECT_EQ(HPICreate((dir / "no" / "folder.hpi").c_str(), nullptr), 0);
}

namespace {

struct Call {
    std::string name;
    std::int32_t v[7];
};
std::vector<Call> g_calls;

std::int32_t recordProgress(std::int32_t unused, const char* name, std::int32_t a, std::int32_t b,
                            std::int32_t c, std::int32_t d, std::int32_t e, std::int32_t f) {
    g_calls.push_back({name, {unused, a, b, c, d, e, f}});
    return 0;
}

} // namespace

TEST(CContract, PackHandleQueuesPacksAndReportsEightValues) {
    TempDir dir;
    testsupport::writeFile(dir / "s" / "one.txt", std::string(100, '1'));
    testsupport::writeFile(dir / "s" / "two.bin", testsupport::randomBytes(150000, 4));
    const auto target = (dir / "p.ufo").string();
    const std::int32_t p = HPICreate(target.c_str(), recordProgress);
    ASSERT_NE(p, 0);
    EXPECT_NE(HPIAddFile(p, "docs\\one.txt", (dir / "s" / "one.txt").c_str()), 0);
    EXPECT_NE(HPIAddFile(p, "two.bin", (dir / "s" / "two.bin").c_str()), 0);
    EXPECT_EQ(HPIAddFile(p, "DOCS\\ONE.TXT", (dir / "s" / "one.txt").c_str()), 0);
    g_calls.clear();
    EXPECT_NE(HPIPackArchive(p, 2), 0);
    EXPECT_EQ(HPIAddFile(p, "late.txt", (dir / "s" / "one.txt").c_str()), 0); // ended

    ASSERT_FALSE(g_calls.empty());
    for (const auto& c : g_calls) {
        EXPECT_EQ(c.v[0], 0);
        EXPECT_EQ(c.v[2], 2);      // total files
        EXPECT_LE(c.v[3], c.v[4]); // within the file
        EXPECT_LE(c.v[5], c.v[6]); // within the archive
        EXPECT_EQ(c.v[6], 150100);
    }
    const auto& last = g_calls.back();
    EXPECT_EQ(last.v[1], 2);
    EXPECT_EQ(last.v[3], last.v[4]);
    EXPECT_EQ(last.v[5], 150100);
    bool sawTwo = false;
    for (const auto& c : g_calls) {
        sawTwo |= c.name == "two.bin" && c.v[4] == 150000;
    }
    EXPECT_TRUE(sawTwo);

    const std::int32_t h = HPIOpen(target.c_str());
    ASSERT_NE(h, 0);
    EXPECT_NE(HPIExtractFile(h, "docs\\one.txt", (dir / "back.txt").c_str()), 0);
    EXPECT_EQ(testsupport::readFile(dir / "back.txt"),
              testsupport::readFile(dir / "s" / "one.txt"));
    HPIClose(h);
}

TEST(CContract, GameDirectoryFromTheEnvironmentOrAWinePrefix) {
    TempDir dir;
    char buffer[HPI_NAME_BUFFER];
    const char* oldTa = std::getenv("TA_DIR");
    const std::string savedTa = oldTa ? oldTa : "";
    const char* oldWp = std::getenv("WINEPREFIX");
    const std::string savedWp = oldWp ? oldWp : "";

    setenv("TA_DIR", (dir / "ta").c_str(), 1);
    GetTADirectory(buffer);
    EXPECT_EQ(std::string(buffer), (dir / "ta").string());

    unsetenv("TA_DIR");
    setenv("WINEPREFIX", (dir / "prefix").c_str(), 1);
    GetTADirectory(buffer);
    EXPECT_STREQ(buffer, "");
    const auto game = dir / "prefix" / "drive_c" / "GOG Games" / "Total A" / "game";
    testsupport::writeFile(game / "TotalA.EXE", std::string_view("MZ"));
    GetTADirectory(buffer);
    EXPECT_EQ(std::string(buffer), game.string());
    // Four levels down is too deep.
    const auto deep = dir / "prefix2" / "drive_c" / "Games" / "a" / "b" / "c" / "d";
    testsupport::writeFile(deep / "totala.exe", std::string_view("MZ"));
    setenv("WINEPREFIX", (dir / "prefix2").c_str(), 1);
    GetTADirectory(buffer);
    EXPECT_STREQ(buffer, "");

    oldTa ? setenv("TA_DIR", savedTa.c_str(), 1) : unsetenv("TA_DIR");
    oldWp ? setenv("WINEPREFIX", savedWp.c_str(), 1) : unsetenv("WINEPREFIX");
}
