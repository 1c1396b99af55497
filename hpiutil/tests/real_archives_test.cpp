// Every member of every real archive in the shared data, against the
// published sizes and digests.
#include "hpiutil/archive.hpp"
#include "testsupport/testsupport.hpp"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace hpiutil;

TEST(RealArchives, EveryMemberMatchesTheManifest) {
    TOOLKIT_REQUIRE_REAL("archive_members.tsv", tsv);
    std::ifstream in(tsv);
    std::string line;
    std::getline(in, line); // header
    std::map<std::string, std::optional<Archive>> open;
    std::size_t checked = 0;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::string archive, member, size, digest;
        std::getline(row, archive, '\t');
        std::getline(row, member, '\t');
        std::getline(row, size, '\t');
        std::getline(row, digest, '\t');
        SCOPED_TRACE(archive + " " + member);
        auto& slot = open[archive];
        if (!slot) {
            auto path = testsupport::realFile("archives/" + archive);
            ASSERT_TRUE(path.has_value());
            auto a = Archive::open(*path);
            ASSERT_TRUE(a.ok()) << a.error().message();
            EXPECT_TRUE(a->verify().clean());
            slot.emplace(std::move(a.value()));
        }
        auto index = slot->find(member);
        ASSERT_TRUE(index.has_value());
        const Entry& e = slot->entries()[*index];
        EXPECT_EQ(e.size, std::stoul(size));
        auto bytes = slot->readAll(e);
        ASSERT_TRUE(bytes.ok()) << bytes.error().message();
        EXPECT_EQ(bytes->size(), std::stoul(size));
        EXPECT_EQ(testsupport::sha256Hex(*bytes), digest);
        ++checked;
    }
    EXPECT_EQ(checked, 30u);
}

TEST(RealArchives, EncryptedArchiveHoldsTheLooseGafFile) {
    TOOLKIT_REQUIRE_REAL("archives/ArmImp.ufo", ufo);
    TOOLKIT_REQUIRE_REAL("gaf/ArmImp.gaf", gaf);
    auto a = Archive::open(ufo);
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(a->info().headerKey, 0x7Du);
    auto i = a->find("TEXTURES\\armimp.gaf");
    ASSERT_TRUE(i.has_value());
    EXPECT_EQ(a->entries()[*i].method, 1);
    EXPECT_EQ(a->readAll(a->entries()[*i]).value(), testsupport::readFile(gaf));
}
