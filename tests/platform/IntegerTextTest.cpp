#include <gtest/gtest.h>

#include "platform/IntegerText.h"

namespace tolvane {
namespace {

TEST(IntegerTextTest, ReadsOneSignedNumberAfterBlanksAndIgnoresTheRest) {
  EXPECT_EQ(ReadInteger("12"), 12);
  EXPECT_EQ(ReadInteger("  \t-5"), -5);
  EXPECT_EQ(ReadInteger("+7"), 7);
  EXPECT_EQ(ReadInteger("09"), 9);
  EXPECT_EQ(ReadInteger("12分"), 12);
  EXPECT_EQ(ReadInteger("3 4"), 3);
  EXPECT_EQ(ReadInteger("-0"), 0);
  EXPECT_EQ(ReadInteger("00000000000000000000042"), 42);  // leading zeros never overflow
}

TEST(IntegerTextTest, TextWithoutLeadingNumberIsNoInteger) {
  for (const char* text : {"", "   ", "-", "+", "abc", "- 5", "+-1", "x12", "１２", "　1"}) {
    EXPECT_EQ(ReadInteger(text), std::nullopt) << text;
  }
}

TEST(IntegerTextTest, NumbersOutsideThe32BitRangeAreNoInteger) {
  EXPECT_EQ(ReadInteger("2147483647"), 2147483647);
  EXPECT_EQ(ReadInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(ReadInteger("2147483648"), std::nullopt);
  EXPECT_EQ(ReadInteger("-2147483649"), std::nullopt);
  EXPECT_EQ(ReadInteger("4294967305"), std::nullopt);  // would wrap to 9
  EXPECT_EQ(ReadInteger("99999999999999999999999999"), std::nullopt);
}

}  // namespace
}  // namespace tolvane
