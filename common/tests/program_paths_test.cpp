#include "common/program_paths.hpp"

#include <testsupport/testsupport.hpp>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(ProgramDataFile, PrefersTheProgramFolderThenTheShareFolder) {
    testsupport::TempDir dir;
    const fs::path bin = dir / "bin";
    fs::create_directories(bin);
    fs::create_directories(dir / "share" / "crateward");

    // Neither present: the program folder's path, so a reader sees a missing file.
    EXPECT_EQ(common::ProgramDataFile("palette.dat", bin), bin / "palette.dat");

    testsupport::writeFile(dir / "share" / "crateward" / "palette.dat", "shared");
    EXPECT_EQ(common::ProgramDataFile("palette.dat", bin),
              dir.path() / "share" / "crateward" / "palette.dat");

    testsupport::writeFile(bin / "palette.dat", "beside");
    EXPECT_EQ(common::ProgramDataFile("palette.dat", bin), bin / "palette.dat");
}

TEST(ProgramDirectory, IsTheFolderOfTheRunningTest) {
    const fs::path dir = common::ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(fs::exists(dir / "common_paths_tests"));
}
