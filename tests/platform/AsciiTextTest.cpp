#include <gtest/gtest.h>

#include "platform/AsciiText.h"

namespace tolvane {
namespace {

TEST(AsciiTextTest, FoldsOnlyTheAsciiLetters) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Index.HTML", "index.html"));
  EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("html", "htm"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("htm", "html"));
  // The neighbours of the letters differ from one another by the case bit alone.
  const std::string_view below = "@[\\]^", above = "`{|}~";
  for (size_t i = 0; i < below.size(); ++i) {
    EXPECT_FALSE(EqualsIgnoringAsciiCase(below.substr(i, 1), above.substr(i, 1))) << below[i];
  }
  // Characters outside ASCII keep their case: É/é, full-width Ｈ/ｈ.
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\x89", "\xC3\xA9"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("ＨＴＭＬ", "ｈｔｍｌ"));
  EXPECT_EQ(ToLowerAscii("日本語.HTML@Z"), "日本語.html@z");
  EXPECT_EQ(ToLowerAscii('Z'), 'z');
  EXPECT_EQ(ToLowerAscii('['), '[');
}

}  // namespace
}  // namespace tolvane
