#include <gtest/gtest.h>
#include <sys/stat.h>

#include "settings/SettingsFile.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

class SettingsFileTest : public ::testing::Test {
 protected:
  AppSettings Load(const std::string& bytes) {
    dir.Write("kestra.ini", bytes);
    AppSettings s = test::SettingsIn(dir);
    LoadSettings(s);
    return s;
  }
  test::TempDir dir;
};

TEST_F(SettingsFileTest, MissingFileGivesDefaults) {
  AppSettings s = test::SettingsIn(dir);
  s.passiveMode = 0;
  LoadSettings(s);
  EXPECT_EQ(s.hostname, "");
  EXPECT_EQ(s.password, "");
  EXPECT_EQ(s.passiveMode, 1);
  EXPECT_EQ(s.clockCorrectionMinutes, 0);
  EXPECT_EQ(s.timer, 0);
  EXPECT_EQ(s.startInTray, 0);
}

TEST_F(SettingsFileTest, ReadsEveryKeyAndDecodesCp932) {
  AppSettings s = Load(
      "[main]\r\nhostname=ftp.example.jp\r\nusername=\x83T\x83\x43\x83g\r\n"
      "serverfolder=/www\r\nlocalfolder=/home/u/\x95\x5C\r\nstart=web\r\neditor=/usr/bin/kate\r\n"
      "pasv=0\r\nstime=-9\r\nshift=1\r\nctrl=1\r\n[timer]\r\ntimer=5\r\nsaisyou=2\r\nkidou=1\r\n"
      "zenmen=1\r\n");
  EXPECT_EQ(s.hostname, "ftp.example.jp");
  EXPECT_EQ(s.username, "サイト");
  EXPECT_EQ(s.localfolder, "/home/u/表");
  EXPECT_EQ(s.start, "web");
  EXPECT_EQ(s.editor, "/usr/bin/kate");
  EXPECT_EQ(s.passiveMode, 0);
  EXPECT_EQ(s.clockCorrectionMinutes, -9);
  EXPECT_EQ(s.shift, 1);
  EXPECT_EQ(s.ctrl, 1);
  EXPECT_EQ(s.timer, 5);  // counts as on
  EXPECT_EQ(s.minimizeToTray, 2);
  EXPECT_FALSE(AppSettings::IsOn(s.minimizeToTray));  // only 1 is on
  EXPECT_EQ(s.startInTray, 1);
  EXPECT_EQ(s.raiseOnScheduledRun, 1);
}

TEST_F(SettingsFileTest, FlagsKeepTheLow8BitsAndJunkNumbersFallBack) {
  AppSettings s = Load("[main]\npasv=258\nstime=abc\nshift=-1\n[timer]\ntimer=256\n");
  EXPECT_EQ(s.passiveMode, 2);
  EXPECT_EQ(s.clockCorrectionMinutes, 0);
  EXPECT_EQ(s.shift, 255);
  EXPECT_EQ(s.timer, 0);
}

TEST_F(SettingsFileTest, BinaryJunkAndHugeLinesAreSurvived) {
  std::string junk("\xFF\xFE\x00\n[main]\nhostname=\x81\nusername=", 31);
  junk += std::string(2 << 20, 'u');
  junk += "\n[timer]\ntimer=1\n";
  AppSettings s = Load(junk);
  EXPECT_EQ(s.username, std::string(255, 'u'));
  EXPECT_EQ(s.timer, 1);
  EXPECT_EQ(s.hostname, "\xEF\xBF\xBD");
}

TEST_F(SettingsFileTest, WritesKeepOtherKeysAndTheFilePrivate) {
  dir.Write("kestra.ini", "[main]\r\nhostname=a\r\ndata=7!!!!!!!\x60\x6A\x5A\r\n");
  AppSettings s = test::SettingsIn(dir);
  ASSERT_TRUE(WriteSettingText(s, "main", "hostname", "ホスト"));
  ASSERT_TRUE(WriteSettingInt(s, "timer", "timer", 1));
  EXPECT_EQ(
      dir.Read("kestra.ini"),
      "[main]\r\nhostname=\x83z\x83X\x83g\r\ndata=7!!!!!!!\x60\x6A\x5A\r\n[timer]\r\ntimer=1\r\n");
  LoadSettings(s);
  EXPECT_EQ(s.password, "abc");
  EXPECT_FALSE(WriteSettingText(s, "main", "hostname", "é"));
  struct stat st {};
  ASSERT_EQ(stat(s.iniPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace tolvane
