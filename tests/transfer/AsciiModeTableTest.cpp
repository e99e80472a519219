#include <gtest/gtest.h>

#include "settings/AsciiModeTable.h"
#include "support/Fakes.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

using Exts = std::vector<std::string>;

TEST(AsciiModeTable, DefaultsOnlyWhenTheFileCannotBeOpened) {
  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  Exts exts;
  LoadAsciiExtensions(settings, exts);
  EXPECT_EQ(exts, (Exts{"html", "htm", "txt", "cgi", "pl"}));
  dir.Write("mode.ini", "");
  Exts empty;
  LoadAsciiExtensions(settings, empty);
  EXPECT_TRUE(empty.empty());  // an empty file is an empty table
  dir.Write("mode.ini", "css\r\n\r\nCSS\nphp");
  Exts read;
  LoadAsciiExtensions(settings, read);
  EXPECT_EQ(read, (Exts{"css", "", "CSS", "php"}));
}

TEST(AsciiModeTable, ExtensionIsTheTextAfterTheLastDot) {
  Exts defaults{"html", "htm", "txt", "cgi", "pl"};
  EXPECT_EQ(TransferTypeFor("/w/index.HTML", defaults), TransferType::Ascii);
  EXPECT_EQ(TransferTypeFor("/w/logo.gif", defaults), TransferType::Binary);
  EXPECT_EQ(TransferTypeFor("/w/README", defaults), TransferType::Binary);
  EXPECT_EQ(TransferTypeFor("/w/archive.tar.gz", Exts{"gz"}), TransferType::Ascii);
  EXPECT_EQ(TransferTypeFor("/w/dir.old/Makefile", Exts{"old/Makefile"}), TransferType::Ascii);
  EXPECT_EQ(TransferTypeFor("/w/dir.old/Makefile", defaults), TransferType::Binary);
  EXPECT_EQ(TransferTypeFor("/w/file.", Exts{"html", ""}), TransferType::Ascii);
  EXPECT_EQ(TransferTypeFor("/w/file.", defaults), TransferType::Binary);
  EXPECT_EQ(TransferTypeFor("/w/a.html", Exts{".html"}), TransferType::Binary);
  EXPECT_EQ(TransferTypeFor("html", defaults), TransferType::Ascii);  // no dot: the whole path
}

TEST(AsciiModeTable, SaveStripsThePrefixAndReplacesTheTable) {
  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  test::RecordingPrompts prompts;
  Exts exts{"html"};
  ASSERT_TRUE(SaveAsciiExtensions(settings, {"*.txt", "*.", "*.*.txt"}, exts, prompts));
  EXPECT_EQ(exts, (Exts{"txt", "", "*.txt"}));
  EXPECT_EQ(dir.Read("mode.ini"), "txt\r\n\r\n*.txt\r\n");
  ASSERT_TRUE(SaveAsciiExtensions(settings, {}, exts, prompts));
  EXPECT_TRUE(exts.empty());
  EXPECT_EQ(dir.Read("mode.ini"), "");
}

TEST(AsciiModeTable, FailedSaveKeepsTheTable) {
  test::TempDir dir;
  AppSettings settings = test::SettingsIn(dir);
  dir.Write("mode.ini/inner", "");  // a folder where the file should be
  test::RecordingPrompts prompts;
  Exts exts{"html"};
  EXPECT_FALSE(SaveAsciiExtensions(settings, {"*.css"}, exts, prompts));
  EXPECT_EQ(exts, Exts{"html"});
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "転送モードファイルを更新できませんでした");
  EXPECT_EQ(prompts.shown[0].caption, "エラー");
}

}  // namespace
}  // namespace tolvane
