#include <gtest/gtest.h>

#include "schedule/TimerFile.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

class TimerFileTest : public ::testing::Test {
 protected:
  TimerFileTest() {
    settings.exeFolder = dir.path();
    settings.iniPath = dir / "kestra.ini";
  }
  test::TempDir dir;
  AppSettings settings;
};

TEST_F(TimerFileTest, MissingAndEmptyFilesAreEmptySchedules) {
  EXPECT_FALSE(ReadTimerFile(settings).has_value());
  dir.Write("timer.ini", "");
  auto lines = ReadTimerFile(settings);
  ASSERT_TRUE(lines.has_value());
  EXPECT_TRUE(lines->empty());
  EXPECT_TRUE(PairEntries(*lines).empty());
}

TEST_F(TimerFileTest, PairsLinesAndIgnoresAnOddLastLine) {
  dir.Write("timer.ini", "210805\r\nweb\r\n5045\nlog\r\nstray");
  auto lines = ReadTimerFile(settings);
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (Lines{"210805", "web", "5045", "log", "stray"}));
  auto entries = PairEntries(*lines);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].code, "5045");
  EXPECT_EQ(entries[1].listName, "log");
  EXPECT_EQ(EntryLines(entries), (Lines{"210805", "web", "5045", "log"}));
  EXPECT_TRUE(PairEntries({"only"}).empty());
  // An empty line is a value, not the end of the file.
  EXPECT_EQ(PairEntries({"", "a", "200930", ""}).size(), 2u);
}

TEST_F(TimerFileTest, WritesCodePage932WithCrLf) {
  ASSERT_EQ(WriteTimerFile(settings, {"210805", "サイト"}), LineWrite::Ok);
  EXPECT_EQ(dir.Read("timer.ini"), "210805\r\n\x83T\x83" "C\x83g\r\n");
  EXPECT_EQ(ReadTimerFile(settings), (Lines{"210805", "サイト"}));
}

TEST_F(TimerFileTest, RefusesTextCodePage932CannotHold) {
  dir.Write("timer.ini", "200930\r\nweb\r\n");
  EXPECT_EQ(WriteTimerFile(settings, {"200930", "café"}), LineWrite::Unencodable);
  EXPECT_EQ(dir.Read("timer.ini"), "200930\r\nweb\r\n");
}

}  // namespace
}  // namespace tolvane
