#include <gtest/gtest.h>

#include "platform/Cp932.h"

namespace tolvane {
namespace {

TEST(Cp932, RoundTripsJapaneseIncludingTrailByte5C) {
  // 表 is 0x95 0x5C: its trail byte is the backslash code.
  EXPECT_EQ(ToCp932("表示\\a"), std::string("\x95\x5C\x8E\xA6\\a"));
  EXPECT_EQ(FromCp932("\x95\x5C\x8E\xA6\\a"), "表示\\a");
  EXPECT_EQ(FromCp932("\xB6\xC5"), "ｶﾅ");  // half-width katakana
}

TEST(Cp932, HoldsNecAndIbmExtensions) {
  // NEC special row (①, ㈱) and IBM extensions (ⅰ, 髙), missing from plain Shift_JIS.
  for (const char* bytes : {"\x87\x40", "\x87\x8D", "\xFA\x40", "\xFB\xFC"}) {
    std::string utf8 = FromCp932(bytes);
    EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos) << bytes;
    EXPECT_EQ(ToCp932(utf8), std::string(bytes));
  }
  EXPECT_EQ(FromCp932("\x87\x40"), "①");
}

TEST(Cp932, RefusesWhatItCannotHold) {
  EXPECT_FALSE(ToCp932("café").has_value());
  EXPECT_FALSE(ToCp932("😀").has_value());
  EXPECT_FALSE(FitsCp932("\xFF\xFE"));  // not UTF-8 at all
  EXPECT_TRUE(FitsCp932(""));
}

TEST(Cp932, DecodesDamagedBytesWithoutStopping) {
  // A lone lead byte in the middle, one at the end, and an unassigned byte.
  EXPECT_EQ(FromCp932(std::string("a\x81 b\xA0"
                                  "c\x95",
                                  7)),
            "a\xEF\xBF\xBD b\xEF\xBF\xBD"
            "c\xEF\xBF\xBD");
  std::string withNul("x\0y", 3);
  EXPECT_EQ(FromCp932(withNul), withNul);
}

}  // namespace
}  // namespace tolvane
