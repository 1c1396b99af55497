#include "hpiutil/format.hpp"
#include <gtest/gtest.h>
TEST(Placeholder, Builds) { EXPECT_EQ(hpiutil::cipherByte(0xBF), 0xFE); }
