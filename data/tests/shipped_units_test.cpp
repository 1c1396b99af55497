// The two test unit definitions shipped beside the programs: whole [UNITINFO]
// blocks of the game's syntax, CRLF line ends, one unit of each side.
#include "testsupport/testsupport.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>

namespace {

// The fields of the file's [UNITINFO] block, keys in lower case, or empty
// when the file is not one such block.
std::map<std::string, std::string> unitFields(const std::string& text) {
    std::map<std::string, std::string> fields;
    const std::string head = "[UNITINFO]\r\n{\r\n";
    if (text.rfind(head, 0) != 0 || text.size() < head.size() + 3 ||
        text.compare(text.size() - 3, 3, "}\r\n") != 0) {
        return fields;
    }
    std::size_t at = head.size();
    while (at < text.size() - 3) {
        const std::size_t end = text.find("\r\n", at);
        std::string line = text.substr(at, end - at);
        at = end + 2;
        line.erase(0, line.find_first_not_of(" \t"));
        if (line.empty() || line.rfind("//", 0) == 0) {
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || line.back() != ';') {
            return {};
        }
        std::string key = line.substr(0, eq);
        for (char& c : key) {
            c = char(std::tolower(static_cast<unsigned char>(c)));
        }
        fields[key] = line.substr(eq + 1, line.size() - eq - 2);
    }
    return fields;
}

std::string readText(const std::string& path) {
    const auto bytes = testsupport::readFile(path);
    return {bytes.begin(), bytes.end()};
}

void expectUnit(const char* file, const std::string& unit, const std::string& side) {
    SCOPED_TRACE(file);
    const std::string shipped = readText(std::string(PROGRAM_DIR) + "/" + file);
    EXPECT_EQ(shipped, readText(std::string(SOURCE_DATA_DIR) + "/" + file))
        << "the copy beside the programs is the source file";
    for (std::size_t i = shipped.find('\n'); i != std::string::npos;
         i = shipped.find('\n', i + 1)) {
        ASSERT_TRUE(i > 0 && shipped[i - 1] == '\r') << "line end at " << i;
    }
    const auto fields = unitFields(shipped);
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(fields.at("unitname"), unit);
    EXPECT_EQ(fields.at("objectname"), unit);
    EXPECT_EQ(fields.at("side"), side);
    EXPECT_NE(fields.at("description").find("Crateward's"), std::string::npos);
    EXPECT_NE(fields.at("description").find("test unit"), std::string::npos);
    for (const char* key : {"name", "footprintx", "footprintz", "maxdamage", "buildcostenergy",
                            "buildcostmetal", "buildtime", "maxvelocity", "movementclass",
                            "weapon1", "corpse", "category", "tedclass"}) {
        EXPECT_TRUE(fields.count(key)) << key;
    }
    EXPECT_GT(std::stod(fields.at("maxdamage")), 0);
}

TEST(ShippedUnits, OneTestUnitOfEachSide) {
    expectUnit("armCRWDunit.fbi", "armCRWD", "ARM");
    expectUnit("corCRWDunit.fbi", "corCRWD", "CORE");
}

} // namespace
