#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/ProfileFile.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

TEST(ProfileFile, MatchesSectionsAndKeysWithoutCase) {
  auto p = ProfileFile::FromBytes("[MAIN]\r\nHostName = ftp.example.jp \r\n[timer]\r\ntimer=1\r\n");
  EXPECT_EQ(p.GetString("main", "hostname"), "ftp.example.jp");
  EXPECT_EQ(p.GetInt("Timer", "TIMER", 0), 1);
  EXPECT_EQ(p.GetString("main", "missing", "d"), "d");
  EXPECT_EQ(p.GetString("nosection", "hostname", "d"), "d");
  EXPECT_EQ(p.GetInt("main", "timer", 7), 7);  // the key lives in another section
}

TEST(ProfileFile, CutsValuesAt255Bytes) {
  std::string longValue(300, 'v');
  auto p = ProfileFile::FromBytes("[main]\nk=" + longValue + "\n");
  EXPECT_EQ(p.GetString("main", "k"), std::string(255, 'v'));
}

// How the number itself is read is IntegerTextTest's; here only that junk gives the fallback.
TEST(ProfileFile, ReadsIntegersAndFallsBackOnJunk) {
  auto p = ProfileFile::FromBytes("[main]\nneg=-9 min\nword=yes\nhuge=99999999999\n");
  EXPECT_EQ(p.GetInt("main", "neg", 0), -9);
  EXPECT_EQ(p.GetInt("main", "word", 1), 1);
  EXPECT_EQ(p.GetInt("main", "huge", 3), 3);
}

TEST(ProfileFile, SingleKeyWritesKeepEverythingElse) {
  const std::string original =
      "; comment\r\n[main]\r\nhostname=a\r\nUserName = u \r\n\r\n[timer]\r\ntimer=0\r\n";
  auto p = ProfileFile::FromBytes(original);
  ASSERT_TRUE(p.Set("MAIN", "username", "bob"));
  EXPECT_EQ(p.bytes(),
            "; comment\r\n[main]\r\nhostname=a\r\nusername=bob\r\n\r\n[timer]\r\ntimer=0\r\n");
  ASSERT_TRUE(p.Set("main", "editor", "/usr/bin/gedit"));
  EXPECT_EQ(p.bytes(),
            "; comment\r\n[main]\r\nhostname=a\r\nusername=bob\r\neditor=/usr/bin/gedit\r\n\r\n"
            "[timer]\r\ntimer=0\r\n");
  ASSERT_TRUE(p.Set("other", "x", "1"));
  EXPECT_EQ(p.bytes().substr(p.bytes().size() - 14), "[other]\r\nx=1\r\n");
  EXPECT_FALSE(p.Set("main", "bad", "a\nb"));
  EXPECT_FALSE(p.Set("main", "bad", std::string("a\0b", 3)));
}

TEST(ProfileFile, AddsToALastSectionWithoutLineEnd) {
  auto p = ProfileFile::FromBytes("[timer]\r\ntimer=1");
  ASSERT_TRUE(p.Set("timer", "kidou", "1"));
  EXPECT_EQ(p.bytes(), "[timer]\r\ntimer=1\r\nkidou=1\r\n");
  EXPECT_EQ(p.GetInt("timer", "kidou", 0), 1);
}

TEST(ProfileFile, WritesCreateTheFileAndKeepPermissions) {
  test::TempDir dir;
  std::string path = dir / "kestra.ini";
  ASSERT_TRUE(WriteProfileString(path, "timer", "timer", "0", 0600u));
  EXPECT_EQ(dir.Read("kestra.ini"), "[timer]\r\ntimer=0\r\n");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_TRUE(WriteProfileString(path, "main", "hostname", "h"));
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);  // a rewrite keeps the file private
  EXPECT_EQ(ProfileFile::Load(path).GetString("main", "hostname"), "h");
}

TEST(ProfileFile, BinaryJunkIsReadWithoutHarm) {
  std::string junk("[main]\0\xFF\xFE=\x01\nhostname=\x81\x5C\n[[]]]\n=\n", 30);
  auto p = ProfileFile::FromBytes(junk);
  EXPECT_EQ(p.GetString("main", "hostname"), "\x81\x5C");
  EXPECT_TRUE(p.Set("main", "hostname", "ok"));
  EXPECT_EQ(p.GetString("main", "hostname"), "ok");
}

}  // namespace
}  // namespace tolvane
