#include "schedule/TickerFixture.h"
#include "schedule/TimerFile.h"

namespace tolvane {
namespace {

class DaySelectionTest : public test::TickerFixture {
 protected:
  void SetUp() override { At(9, 30, 0); }
};

TEST_F(DaySelectionTest, MissingFileLeavesTheSelectionButAnEmptyOneEmptiesIt) {
  state.m_todayEntries = {{"200930", "kept"}};
  ticker.LoadAtStart();
  EXPECT_EQ(state.m_todayEntries.size(), 1u);
  EXPECT_FALSE(dir.Exists("timer.ini"));
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(state.m_clockText, "09：30：00");  // set because it was empty

  dir.Write("timer.ini", "");
  ticker.LoadAtStart();
  EXPECT_TRUE(state.m_todayEntries.empty());
}

TEST_F(DaySelectionTest, SelectsTodaysEntriesInFileOrder) {
  dir.Write("timer.ini",
            "3010930\nmon\n40151200\nfifteenth\n5000\nhourly\n10202603150900\nonce\n"
            "junk\nx\n3000930\nsun\nstray\n");
  ticker.RebuildDaySelection();
  EXPECT_EQ(state.m_todayEntries, PairEntries({"40151200", "fifteenth", "5000", "hourly",
                                               "10202603150900", "once", "3000930", "sun"}));
  // Mode 0 never touches the file.
  EXPECT_EQ(dir.Read("timer.ini").substr(0, 8), "3010930\n");
}

TEST_F(DaySelectionTest, PurgeRemovesExpiredOneShotsAndKeepsAnOddLastLine) {
  state.m_todayEntries = {{"200930", "kept"}};
  dir.Write("timer.ini", "10202603150800\nold\n10202603151000\nlater\n200930\nweb\nstray");
  ticker.PurgeExpiredOneShots();
  EXPECT_EQ(dir.Read("timer.ini"), "10202603151000\r\nlater\r\n200930\r\nweb\r\nstray\r\n");
  ASSERT_EQ(state.m_todayEntries.size(), 1u);  // mode 2 leaves the selection alone
  EXPECT_EQ(state.m_todayEntries[0].listName, "kept");
}

TEST_F(DaySelectionTest, PurgeKeepsLinesThatAreNotCodePage932ByteForByte) {
  const std::string foreign = "200930\r\n\x80\xfd\xa0\x81\r\n";  // no code page 932 text
  dir.Write("timer.ini", "10202603150800\r\nold\r\n" + foreign);
  ticker.LoadAtStart();
  EXPECT_EQ(dir.Read("timer.ini"), foreign);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DaySelectionTest, SelectionCountStaysWithinSixteenBits) {
  std::string file;
  for (int i = 0; i < 33000; ++i) file += "200930\r\nl\r\n";
  dir.Write("timer.ini", file);
  ticker.RebuildDaySelection();
  EXPECT_EQ(state.m_todayEntries.size(), 32767u);
}

TEST_F(DaySelectionTest, StoredSwitchIsAppliedAtStartUp) {
  dir.Write("timer.ini", "200930\r\nweb\r\n");
  StartUp(5);
  EXPECT_EQ(settings.timer, 1);
  EXPECT_TRUE(view.timerChecked);
  EXPECT_EQ(StoredTimer(), 1);
  EXPECT_EQ(state.m_todayEntries.size(), 1u);
  EXPECT_EQ(status.status, "TIMER ON　09：30：00");

  StartUp(0);
  EXPECT_TRUE(state.m_todayEntries.empty());  // stays empty until switched on
  ticker.OnTimerOn();
  EXPECT_EQ(state.m_todayEntries.size(), 1u);
}

}  // namespace
}  // namespace tolvane
