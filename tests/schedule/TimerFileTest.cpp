#include <gtest/gtest.h>

#include "schedule/TimerFile.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

using Lines = std::vector<std::string>;

TEST(TimerFileTest, ReadsBesideTheProgramAndPairsLines) {
  test::TempDir dir;
  AppSettings settings;
  settings.exeFolder = dir.path();
  EXPECT_FALSE(ReadTimerFile(settings).has_value());
  dir.Write("timer.ini", "");
  EXPECT_EQ(ReadTimerFile(settings), Lines{});

  dir.Write("timer.ini",
            "210805\r\n\x83T\x83"
            "C\x83g\r\n5045\nlog\r\nstray");
  auto lines = ReadTimerFile(settings);
  ASSERT_TRUE(lines.has_value());
  auto entries = PairEntries(*lines);
  ASSERT_EQ(entries.size(), 2u);  // the odd last line is no entry
  EXPECT_EQ(entries[0].listName, "サイト");
  EXPECT_EQ(EntryLines(entries), (Lines{"210805", "サイト", "5045", "log"}));
  // An empty line is a value, not the end of the file.
  EXPECT_EQ(PairEntries({"", "a", "200930", ""}).size(), 2u);

  ASSERT_EQ(WriteTimerFile(settings, {"200930", "web"}), LineWrite::Ok);
  EXPECT_EQ(dir.Read("timer.ini"), "200930\r\nweb\r\n");
}

}  // namespace
}  // namespace tolvane
