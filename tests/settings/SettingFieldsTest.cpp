// Reading whole-number boxes, and the checks that keep a settings OK from writing anything
// it could not write whole.
#include <gtest/gtest.h>

#include "settings/SettingFields.h"

namespace tolvane {
namespace {

// The minutes box reads its number from the first 63 bytes only; how a number is read is
// IntegerTextTest's.
TEST(ScanIntegerTest, ReadsTheMinutesBox) {
  EXPECT_EQ(ScanInteger(" -60"), -60);
  EXPECT_EQ(ScanInteger(std::string(61, ' ') + "12345"), 12);
  EXPECT_EQ(ScanInteger(std::string(63, ' ') + "5"), std::nullopt);
}

TEST(SettingTextProblemTest, RefusesWhatAValueCannotHoldWhole) {
  EXPECT_EQ(SettingTextProblem("サーバー名", "ftp.example.jp:2121"), std::nullopt);
  EXPECT_EQ(SettingTextProblem("サーバー名", ""), std::nullopt);
  EXPECT_EQ(SettingTextProblem("x", "①髙"), std::nullopt);  // NEC and IBM characters
  EXPECT_EQ(*SettingTextProblem("サーバー名", "café"),
            "「サーバー名」に使用できない文字が含まれています。\n"
            "設定ファイル（シフトJIS）に保存できる文字だけを使ってください");
  EXPECT_NE(SettingTextProblem("x", "a\nb"), std::nullopt);
  std::string kanji;
  for (int i = 0; i < 127; ++i) kanji += "表";  // 254 bytes in code page 932
  EXPECT_EQ(SettingTextProblem("x", kanji + "a"), std::nullopt);
  EXPECT_EQ(*SettingTextProblem("使用するエディタ", kanji + "表"),
            "「使用するエディタ」が長すぎます（255バイトまで）");
}

// The check runs the store's search (PasswordTest covers its refusals) with a fixed filler in
// place of random bytes: that filler must not refuse what the store would keep.
TEST(CheckPasswordTest, ItsFillerRefusesNothingTheStoreKeeps) {
  for (const std::string& plain : {std::string(), std::string("abc"), std::string(251, 'x'),
                                   std::string("#abc")}) {  // '#' - 3 = ' ', cut off as a blank
    EXPECT_EQ(CheckPassword(plain), PasswordStore::Ok) << plain;
  }
  EXPECT_EQ(CheckPassword("\r\x05\x11\x07\x0f"), PasswordStore::Unstorable);
}

}  // namespace
}  // namespace tolvane
