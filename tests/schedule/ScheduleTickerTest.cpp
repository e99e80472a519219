#include <algorithm>

#include "schedule/TickerFixture.h"
#include "schedule/TimerFile.h"
#include "support/FileFaults.h"

namespace tolvane {
namespace {

class TickTest : public test::TickerFixture {};

TEST_F(TickTest, SwitchOffShowsTheRunningClockAndFiresNothing) {
  dir.Write("timer.ini", "200930\r\nweb\r\n5030\r\nlog\r\n");
  At(9, 29, 58);
  StartUp(0);
  EXPECT_EQ(status.status, "TIMER OFF　09：29：58");
  EXPECT_FALSE(view.timerChecked);
  EXPECT_EQ(StoredTimer(), 0);
  TickFor(5);  // across 09:30
  EXPECT_EQ(status.status, "TIMER OFF　09：30：02");
  EXPECT_EQ(status.statusHistory.size(), 5u);  // the start, then once a second
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(state.m_lastMinute, "");
}

TEST_F(TickTest, BusyTickDoesNothing) {
  dir.Write("timer.ini", "200930\r\nweb\r\n");
  At(9, 29, 59);
  StartUp(1);
  Tick();
  clock.now += 2;
  state.m_busy = true;
  size_t shown = status.statusHistory.size();
  TickFor(3);
  EXPECT_EQ(status.statusHistory.size(), shown);
  EXPECT_EQ(state.m_clockText, "09：29：59");
  EXPECT_EQ(state.m_lastMinute, "0929");
  EXPECT_TRUE(runs.empty());
  state.m_busy = false;
  Tick();  // still 09:30: the minute is processed now
  EXPECT_EQ(runs, std::vector<std::string>{"web"});
}

TEST_F(TickTest, DailyEntryRunsOnceAtTheFirstTickOfItsMinute) {
  dir.Write("timer.ini", "201230\r\nweb\r\n");
  At(12, 29, 59);
  StartUp(1);
  EXPECT_EQ(status.status, "TIMER ON　12：29：59");
  TickFor(1);
  EXPECT_TRUE(runs.empty());
  TickFor(61);
  EXPECT_EQ(runs, std::vector<std::string>{"web"});
  EXPECT_EQ(shutdown.calls, 0);
}

// The callback does nothing, as a run that failed at once would.
TEST_F(TickTest, TwoEntriesInOneMinuteThenShutdownAfterBoth) {
  dir.Write("timer.ini", "211230\r\nweb\r\n201230\r\nlog\r\n201231\r\nlater\r\n");
  At(12, 30, 0);
  StartUp(1);
  Tick();
  EXPECT_EQ(runs, (std::vector<std::string>{"web", "log"}));
  EXPECT_EQ(shutdownsBeforeRun, (std::vector<int>{0, 0}));
  EXPECT_EQ(shutdown.calls, 1);
  EXPECT_EQ(status.status, "Windowsを終了しています...");
  // A refused power-off leaves the program running; the clock comes back next second.
  clock.now += 1;
  Tick();
  EXPECT_EQ(status.status, "TIMER ON　12：30：01");
  EXPECT_EQ(shutdown.calls, 1);
}

TEST_F(TickTest, MinutesSpentInARunAreNotCaughtUp) {
  dir.Write("timer.ini", "201230\r\na\r\n201231\r\nb\r\n201232\r\nc\r\n201233\r\nd\r\n");
  duringRun = [&](const TimerEntry&) {
    if (runs.back() != "a") return;
    state.m_busy = true;  // as the upload run does; ticks arriving meanwhile return at once
    TickFor(180);
    state.m_busy = false;
  };
  At(12, 30, 5);
  StartUp(1);
  Tick();
  EXPECT_EQ(runs, std::vector<std::string>{"a"});
  EXPECT_EQ(state.m_clockText, "12：30：05");
  Tick();  // 12:33:05, the first tick after the run
  EXPECT_EQ(runs, (std::vector<std::string>{"a", "d"}));
  TickFor(120);
  EXPECT_EQ(runs.size(), 2u);
  // What the run's minutes held is told, once.
  ASSERT_EQ(Missed(), (std::vector<std::string>{"2026-03-15 12:31 b", "2026-03-15 12:32 c"}));
  EXPECT_EQ(missed[0].why, MissedRun::Why::Away);
}

TEST_F(TickTest, MinutesSleptThroughAreToldAndTheirOneShotsPurged) {
  dir.Write("timer.ini", "201231\r\ndaily\r\n10202603151232\r\nonce\r\n201245\r\nlater\r\n");
  At(12, 30, 0);
  StartUp(1);
  Tick();
  clock.now += 10 * 60;  // the machine wakes at 12:40
  Tick();
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(Missed(),
            (std::vector<std::string>{"2026-03-15 12:31 daily", "2026-03-15 12:32 once"}));
  EXPECT_EQ(dir.Read("timer.ini"), "201231\r\ndaily\r\n201245\r\nlater\r\n");
  TickFor(6 * 60);
  EXPECT_EQ(runs, std::vector<std::string>{"later"});
  EXPECT_EQ(missed.size(), 2u);
}

TEST_F(TickTest, SwitchingOnInsideADueMinuteFiresAtTheNextTick) {
  dir.Write("timer.ini", "201230\r\nweb\r\n");
  At(12, 30, 0);
  StartUp(0);
  TickFor(40);
  EXPECT_TRUE(runs.empty());
  ticker.OnTimerOn();
  EXPECT_TRUE(view.timerChecked);
  EXPECT_EQ(status.status, "TIMER ON　12：30：39");
  EXPECT_EQ(StoredTimer(), 1);
  Tick();
  EXPECT_EQ(runs, std::vector<std::string>{"web"});

  // Off and on again in the same minute: that minute was processed already.
  ticker.OnTimerOn();
  EXPECT_FALSE(view.timerChecked);
  EXPECT_EQ(StoredTimer(), 0);
  ticker.OnTimerOn();
  TickFor(2);
  EXPECT_EQ(runs.size(), 1u);
}

TEST_F(TickTest, OneShotOfTheStartMinuteStillRunsAndIsPurgedAfterwards) {
  dir.Write("timer.ini", "10202603150930\r\nweb\r\n10202603140800\r\nold\r\n200800\r\ndaily\r\n");
  At(9, 30, 20);
  StartUp(1);
  // The long-past one-shot is gone at once; today's waits for its run.
  EXPECT_EQ(dir.Read("timer.ini"), "10202603150930\r\nweb\r\n200800\r\ndaily\r\n");
  EXPECT_EQ(state.m_todayEntries.size(), 2u);
  Tick();
  EXPECT_EQ(runs, std::vector<std::string>{"web"});
  EXPECT_EQ(dir.Read("timer.ini"), "200800\r\ndaily\r\n");
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(TickTest, OneShotOfAnEarlierMinuteIsPurgedAtStartUpUnrun) {
  dir.Write("timer.ini", "10202603150930\r\nweb\r\n");
  At(9, 31, 0);
  StartUp(1);
  EXPECT_EQ(dir.Read("timer.ini"), "");
  TickFor(2);
  EXPECT_TRUE(runs.empty());
  ASSERT_EQ(Missed(), std::vector<std::string>{"2026-03-15 09:30 web"});
  EXPECT_EQ(missed[0].why, MissedRun::Why::NotRunning);
}

TEST_F(TickTest, OneShotPassedWithTheScheduleOffIsNotCalledMissed) {
  dir.Write("timer.ini", "10202603150930\r\nweb\r\n");
  At(9, 31, 0);
  StartUp(0);
  EXPECT_EQ(dir.Read("timer.ini"), "");
  EXPECT_TRUE(missed.empty());
}

// Daylight-saving changes in New York, 2026: 02:00 becomes 03:00 on 8 March, and 02:00
// becomes 01:00 again on 1 November.
class DaylightSavingTest : public test::TickerFixture {
 protected:
  DaylightSavingTest() {
    dir.Write("timer.ini", "200130\r\nrepeated\r\n200230\r\nskipped\r\n5015\r\nhourly\r\n");
  }
  // Ticks through `hours` hours of real time from `start`, noting the clock at each run.
  void RunHours(int64_t start, int hours) {
    clock.now = start;
    StartUp(1);
    duringRun = [this](const TimerEntry&) { clockAtRun.push_back(state.m_clockText); };
    TickFor(hours * 3600);
  }
  test::ScopedTimeZone newYork{"America/New_York"};
  std::vector<std::string> clockAtRun;
};

TEST_F(DaylightSavingTest, EntryOfTheSkippedHourRunsAtTheFirstMinuteAfterIt) {
  RunHours(test::LocalSeconds(2026, 3, 8, 0, 59, 30), 2);  // to 03:59 daylight time
  EXPECT_EQ(runs, (std::vector<std::string>{"hourly", "repeated", "hourly", "skipped", "hourly"}));
  EXPECT_EQ(clockAtRun[3], "03：00：00");  // 02:30 never came
  EXPECT_TRUE(missed.empty());
}

TEST_F(DaylightSavingTest, RepeatedHourRunsNothingTwice) {
  RunHours(test::LocalSeconds(2026, 11, 1, 0, 59, 30), 3);  // to 02:59 standard time
  EXPECT_EQ(runs, (std::vector<std::string>{"hourly", "repeated", "hourly", "skipped"}));
  EXPECT_TRUE(missed.empty());
}

class MidnightTest : public test::TickerFixture {
 protected:
  void SetUp() override {
    // Sunday, Monday, every day, all at 00:01, and a one-shot this Sunday at 23:59.
    dir.Write("timer.ini",
              "3000001\r\nsun\r\n3010001\r\nmon\r\n200001\r\ndaily\r\n"
              "10202603152359\r\nonce\r\n");
    At(23, 59, 0);
    StartUp(1);
    Tick();
    ASSERT_EQ(runs, std::vector<std::string>{"once"});
    runs.clear();
  }

  // Monday 00:01 has fired the new day's entries, and Monday 23:59 does not fire Sunday's
  // one-shot again.
  void ExpectMondayAndNoRepeat() {
    EXPECT_EQ(runs, (std::vector<std::string>{"mon", "daily"}));
    clock.now = test::LocalSeconds(2026, 3, 16, 23, 59, 0);
    Tick();
    EXPECT_EQ(runs, (std::vector<std::string>{"mon", "daily"}));
  }
};

TEST_F(MidnightTest, ProcessedMidnightRebuildsTheDaySelection) {
  clock.now += 60;  // Monday 00:00
  Tick();
  EXPECT_EQ(state.m_todayEntries, PairEntries({"3010001", "mon", "200001", "daily"}));
  clock.now += 60;
  Tick();
  EXPECT_EQ(runs, (std::vector<std::string>{"mon", "daily"}));
}

TEST_F(MidnightTest, RunBusyOverMidnightStillStartsTheNewDay) {
  state.m_busy = true;  // a run spans 00:00
  clock.now += 90;
  Tick();
  state.m_busy = false;
  clock.now += 30;  // Monday 00:01
  Tick();
  ExpectMondayAndNoRepeat();
}

TEST_F(MidnightTest, ClockJumpOverMidnightStillStartsTheNewDay) {
  clock.now += 120;  // 23:59 straight to Monday 00:01, as after sleep
  Tick();
  ExpectMondayAndNoRepeat();
}

TEST_F(TickTest, HourlyEntryFiresEveryHourAndOneShotOnce) {
  dir.Write("timer.ini", "5045\r\nh\r\n10202603161200\r\nonce\r\n");
  At(23, 59, 0);
  StartUp(1);
  for (int minute = 0; minute <= 24 * 60; ++minute) {
    Tick();
    clock.now += 60;
  }
  EXPECT_EQ(std::count(runs.begin(), runs.end(), "h"), 24);
  EXPECT_EQ(std::count(runs.begin(), runs.end(), "once"), 1);
  EXPECT_EQ(dir.Read("timer.ini"), "5045\r\nh\r\n");
}

TEST_F(TickTest, FailedPurgeIsReportedAndFiringCarriesOn) {
  const std::string file = "11202603150930\r\nweb\r\n200930\r\nbad\x82\xFF\r\n";
  dir.Write("timer.ini", file);
  test::FileSizeLimit diskFull(4);  // the purge cannot write the file back
  At(9, 29, 59);
  StartUp(1);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "タイマー設定を更新できませんでした");
  EXPECT_EQ(prompts.shown[0].caption, "エラー");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Warning);
  EXPECT_EQ(prompts.shown[0].buttons, Buttons::Ok);
  TickFor(2);
  EXPECT_EQ(runs.size(), 2u);
  EXPECT_EQ(prompts.shown.size(), 2u);  // the purge after the one-shot
  EXPECT_EQ(shutdown.calls, 1);
  EXPECT_EQ(dir.Read("timer.ini"), file);
}

}  // namespace
}  // namespace tolvane
