// The TDF reader and the COB name reader, on made text and bytes, hostile
// ones included, and the real armmav script against its real model.
#include "unit_fixture.hpp"

#include "meshglass/ModelFile.hpp"
#include "meshglass/class3do.hpp"
#include "testsupport/testsupport.hpp"
#include "unitcheck/cob_names.hpp"
#include "unitcheck/tdf.hpp"

#include <gtest/gtest.h>
#include <set>

namespace {

using unitcheck::parseTdf;

std::vector<std::uint8_t> bytesOf(const std::string& s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

TEST(TdfReader, SectionsKeysCommentsAndCase) {
    const auto doc = parseTdf("// heading\n[UNITINFO]\n{\n  UnitName = ARMCOM ;\r\n"
                              "  /* several\n lines */ Name=Commander; // trailing\n"
                              "  [Inner] { Key=x y z; [deeper]{a=1;} }\n"
                              "  Empty=;\n  NoSemicolon=last\n}\n[second]{k=v;}");
    EXPECT_EQ(doc.problems, 1); // the value without its ';'
    ASSERT_EQ(doc.sections.size(), 2u);
    const auto* info = doc.section("unitinfo");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(*info->value("UNITNAME"), "ARMCOM");
    EXPECT_EQ(*info->value("name"), "Commander");
    EXPECT_EQ(*info->value("empty"), "");
    EXPECT_EQ(*info->value("nosemicolon"), "last");
    EXPECT_EQ(info->value("absent"), nullptr);
    ASSERT_NE(info->section("INNER"), nullptr);
    EXPECT_EQ(*info->section("inner")->value("key"), "x y z");
    EXPECT_EQ(*info->section("inner")->section("Deeper")->value("A"), "1");
    EXPECT_EQ(*doc.section("SECOND")->value("K"), "v");
}

TEST(TdfReader, BrokenTextIsReadAsFarAsItGoes) {
    // Stray text, an unclosed comment, unclosed sections, a header with no
    // brace, a name with no ']': none stops the reader or loses what came before.
    EXPECT_EQ(parseTdf("junk [A]{a=1;} more junk [B]{b=2;").sections.size(), 2u);
    EXPECT_EQ(parseTdf("[A]{a=1;} /* never closed [B]{b=2;}").sections.size(), 1u);
    EXPECT_EQ(parseTdf("[A] a=1; [B]{b=2;}").section("B")->values.size(), 1u);
    EXPECT_GT(parseTdf("[A\n{a=1;}").problems, 0);
    EXPECT_TRUE(parseTdf("").sections.empty());
    EXPECT_TRUE(parseTdf(std::string(1000, '{')).sections.empty());
    EXPECT_EQ(parseTdf(std::string("[A]{a=\0b;}", 10)).section("a")->value("a")->size(), 2u);
}

TEST(TdfReader, NestingAndSizesAreCapped) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "[s]{";
    }
    const auto doc = parseTdf(deep);
    int depth = 0;
    for (const auto* s = doc.sections.empty() ? nullptr : &doc.sections[0]; s != nullptr;
         s = s->sections.empty() ? nullptr : &s->sections[0]) {
        ++depth;
    }
    EXPECT_EQ(depth, unitcheck::TdfLimits{}.maxDepth);
    EXPECT_GT(doc.problems, 0);

    unitcheck::TdfLimits small;
    small.maxSections = 3;
    small.maxValues = 2;
    small.maxValueLength = 4;
    small.maxBytes = 60;
    const auto capped = parseTdf("[a]{k=123456789;k2=1;k3=2;}[b]{}[c]{}[d]{}[e]{}", small);
    EXPECT_EQ(capped.section("a")->values.size(), 2u);
    EXPECT_EQ(*capped.section("a")->value("k"), "1234");
    EXPECT_LE(capped.sections.size(), 3u);
}

TEST(CobNames, ReadsScriptsAndPieces) {
    auto names = unitcheck::readCobNames(bytesOf(unitfixture::makeCob({"base", "turret"})));
    ASSERT_TRUE(names.ok()) << names.error().message();
    EXPECT_EQ(names->version, 4u);
    EXPECT_EQ(names->scripts, (std::vector<std::string>{"Create", "Killed"}));
    EXPECT_EQ(names->pieces, (std::vector<std::string>{"base", "turret"}));
}

TEST(CobNames, HostileHeadersFailCleanly) {
    const std::string good = unitfixture::makeCob({"base", "turret"});
    auto damaged = [&](std::size_t at, std::uint32_t value) {
        std::string s = good;
        for (int i = 0; i < 4; ++i) {
            s[at + std::size_t(i)] = char(std::uint8_t(value >> (8 * i)));
        }
        return unitcheck::readCobNames(bytesOf(s));
    };
    EXPECT_FALSE(unitcheck::readCobNames(bytesOf(good.substr(0, 35))).ok());
    EXPECT_FALSE(damaged(8, 0xFFFFFFFF).ok());                  // piece count
    EXPECT_FALSE(damaged(8, 1000).ok());                        // more pieces than the table holds
    EXPECT_FALSE(damaged(32, 0xFFFFFFF0).ok());                 // piece table offset
    EXPECT_FALSE(damaged(28, std::uint32_t(good.size())).ok()); // script table at the end
    // A name offset past the end, and a name that runs off the end.
    const std::uint32_t pieceTable = std::uint8_t(good[32]) | std::uint8_t(good[33]) << 8;
    EXPECT_FALSE(damaged(pieceTable, std::uint32_t(good.size())).ok());
    std::string unterminated = good;
    unterminated.pop_back();
    EXPECT_FALSE(unitcheck::readCobNames(bytesOf(unterminated)).ok());
    EXPECT_TRUE(damaged(8, 0).ok()); // no pieces at all is fine
}

// Worked out by hand from both files: the 25 pieces armmav.cob names are all
// pieces of armmav.3do, whose 26th piece, groundx2, the script never names.
TEST(CobNames, RealArmmavScriptAgainstItsModel) {
    const auto cob = testsupport::realFile("cob/armmav.cob");
    const auto model = testsupport::realFile("3do/armmav.3do");
    if (!cob || !model) {
        GTEST_SKIP() << "real files not present";
    }
    auto names = unitcheck::readCobNames(testsupport::readFile(*cob));
    ASSERT_TRUE(names.ok()) << names.error().message();
    EXPECT_EQ(names->version, 4u);
    EXPECT_EQ(names->scripts.size(), 23u);
    EXPECT_EQ(names->scripts.front(), "walk");
    EXPECT_EQ(names->scripts.back(), "Killed");
    EXPECT_EQ(names->pieces.size(), 25u);

    meshglass::ModelFile file(testsupport::readFile(*model));
    const auto root = meshglass::LoadModel(file);
    std::set<std::string> modelPieces;
    std::vector<const meshglass::class3do*> stack = {root.get()};
    while (!stack.empty()) {
        const auto* piece = stack.back();
        stack.pop_back();
        modelPieces.insert(piece->Name);
        for (const auto& child : piece->Objects) {
            stack.push_back(child.get());
        }
    }
    EXPECT_EQ(modelPieces.size(), 26u);
    std::vector<std::string> notInModel;
    for (const std::string& p : names->pieces) {
        if (modelPieces.erase(p) == 0) {
            notInModel.push_back(p);
        }
    }
    EXPECT_TRUE(notInModel.empty());
    EXPECT_EQ(modelPieces, std::set<std::string>{"groundx2"});
}

} // namespace
