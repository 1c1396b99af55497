// Broken and hostile archives end in a failure with a reason, quickly, and
// never in a crash, a hang or a huge allocation (the sanitizer build runs
// these too).
#include "hpiutil/archive.hpp"
#include "hpiutil/format.hpp"
#include "hpiutil/writer.hpp"
#include "vectors.hpp"

#include <chrono>
#include <gtest/gtest.h>

using namespace hpiutil;

namespace {

// Opens, verifies and reads everything; returns whether every step succeeded.
bool tryEverything(const std::vector<std::uint8_t>& bytes, std::string* reason = nullptr) {
    auto a = Archive::fromMemory(bytes);
    if (!a) {
        if (reason) {
            *reason = a.error().message();
        }
        return false;
    }
    bool allGood = a->verify().errorCount() == 0;
    for (const auto& e : a->entries()) {
        if (!e.directory) {
            auto r = a->readAll(e);
            if (!r && reason) {
                *reason = r.error().message();
            }
            allGood &= r.ok();
        }
    }
    return allGood;
}

template <class F> double secondsFor(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::vector<std::uint8_t> withU32(std::vector<std::uint8_t> bytes, std::size_t at,
                                  std::uint32_t value) {
    storeU32(bytes.data() + at, value);
    return bytes;
}

} // namespace

TEST(Hostile, EveryTruncationFails) {
    const auto good = vectors::minimalLz77();
    for (std::size_t n = 0; n + 36 < good.size(); ++n) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        EXPECT_FALSE(tryEverything(cut)) << n << " bytes";
    }
}

TEST(Hostile, StructuralLiesAreRefusedWithAReason) {
    const auto good = vectors::minimalLz77();
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* reasonHas;
    };
    auto selfDir = good;
    selfDir[0x24] = 1;                     // the entry becomes a directory...
    storeU32(selfDir.data() + 0x20, 0x14); // ...whose record is the root itself
    auto twice = withU32(good, 0x14, 2);   // two entries...
    const Case cases[] = {
        {"not HAPI", withU32(good, 0, 0x12345678), "HAPI"},
        {"version 2", withU32(good, 4, kVersion2), "version 2"},
        {"HAPIBANK", withU32(good, 4, 0x4B4E4142), "HAPIBANK"},
        {"directory end past the file", withU32(good, 8, 0x10000), "past the end"},
        {"root outside the block", withU32(good, 16, 0x40), "outside"},
        {"directory contains itself", selfDir, "cycle"},
        {"entry array past the block", withU32(good, 0x18, 0xFFFFFFF0), "outside"},
        {"absurd entry count", withU32(good, 0x14, 0x7FFFFFFF), "outside"},
        {"name offset past the end", withU32(good, 0x1C, 0xFFFFFFFF), "outside"},
        {"file record past the block", withU32(good, 0x20, 0x33), "outside"},
        {"two entries in a one-entry block", twice, "outside"},
        {"chunk table past the end", withU32(good, 0x2B, 0x70000000), "past the end"},
        {"absurd file size", withU32(good, 0x2F, 0xFFFFFFFF), "past the end"},
        {"chunk marker damaged", withU32(good, 0x38, 0), "SQSH"},
        {"compressed length past the end", withU32(good, 0x3F, 0x7FFFFFFF), "past the end"},
        {"uncompressed length absurd", withU32(good, 0x43, 0xFFFFFFFF), "holds"},
    };
    for (const auto& c : cases) {
        std::string reason;
        const double s =
            secondsFor([&] { EXPECT_FALSE(tryEverything(c.bytes, &reason)) << c.what; });
        EXPECT_NE(reason.find(c.reasonHas), std::string::npos) << c.what << ": " << reason;
        EXPECT_LT(s, 1.0) << c.what;
    }
}

TEST(Hostile, SharedDirectoryRecordIsRefused) {
    // Two entries of the root point at one directory record: a tree of n
    // levels built that way would list 2^n entries.
    ArchiveWriter w;
    ASSERT_TRUE(w.addDirectory("a"));
    ASSERT_TRUE(w.addDirectory("b"));
    testsupport::TempDir dir;
    ASSERT_TRUE(w.write(dir / "d.hpi", Method::Zlib));
    auto bytes = testsupport::readFile(dir / "d.hpi");
    // Root at 0x14: 2 entries at 0x1C and 0x25; point the second at the first's record.
    storeU32(bytes.data() + 0x25 + 4, loadU32(bytes.data() + 0x1C + 4));
    std::string reason;
    EXPECT_FALSE(tryEverything(bytes, &reason));
    EXPECT_NE(reason.find("twice"), std::string::npos) << reason;
}

TEST(Hostile, RandomDamageNeverCrashes) {
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("a\\lz.txt", std::vector<std::uint8_t>(5000, 'l')));
    ASSERT_TRUE(w.addBuffer("a\\b\\r.bin", testsupport::randomBytes(70000, 3)));
    ASSERT_TRUE(w.addBuffer("z.txt", {'z'}));
    testsupport::TempDir dir;
    std::vector<std::vector<std::uint8_t>> samples;
    for (Method m : {Method::None, Method::Lz77, Method::Zlib}) {
        ASSERT_TRUE(w.write(dir / "s.hpi", m));
        samples.push_back(testsupport::readFile(dir / "s.hpi"));
    }
    samples.push_back(vectors::minimalLz77Key());
    auto noise = testsupport::randomBytes(1 << 20, 99);
    std::size_t k = 0;
    const double s = secondsFor([&] {
        for (const auto& sample : samples) {
            for (int round = 0; round < 150; ++round) {
                auto damaged = sample;
                const std::size_t flips = std::max<std::size_t>(1, damaged.size() / 100);
                for (std::size_t f = 0; f < flips; ++f) {
                    const std::size_t at = (std::size_t(noise[k % noise.size()]) << 16 |
                                            std::size_t(noise[(k + 1) % noise.size()]) << 8 |
                                            noise[(k + 2) % noise.size()]) %
                                           damaged.size();
                    damaged[at] ^= static_cast<std::uint8_t>(noise[(k + 3) % noise.size()] | 1);
                    k += 4;
                }
                (void)tryEverything(damaged);
            }
        }
    });
    EXPECT_LT(s, 30.0);
}
