#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "platform/LocalTime.h"
#include "schedule/LocalClock.h"
#include "schedule/TimerEntry.h"
#include "schedule/TimerSetting.h"

namespace tolvane {
namespace {

using test::LocalSeconds;

class TimerEntryTest : public ::testing::Test {
 protected:
  test::ScopedTimeZone m_tz{"JST-9"};
};

// 2026-03-15 is a Sunday.
TEST_F(TimerEntryTest, OneShotIsDueOnItsDayAndExpiresFromItsMinute) {
  const std::string code = "10202603150930";
  EXPECT_TRUE(IsDueToday(code, LocalSeconds(2026, 3, 15, 0, 0)));
  EXPECT_TRUE(IsDueToday(code, LocalSeconds(2026, 3, 15, 23, 59, 59)));
  EXPECT_FALSE(IsDueToday(code, LocalSeconds(2026, 3, 16)));
  EXPECT_FALSE(IsDueToday(code, LocalSeconds(2025, 3, 15)));

  EXPECT_FALSE(IsExpired(code, LocalSeconds(2026, 3, 15, 9, 29, 59)));
  EXPECT_TRUE(IsExpired(code, LocalSeconds(2026, 3, 15, 9, 30, 0)));
  EXPECT_TRUE(IsExpired(code, LocalSeconds(2026, 3, 15, 9, 30, 59)));
  EXPECT_TRUE(IsExpired(code, LocalSeconds(2027, 1, 1)));
  for (const char* repeating : {"200930", "3000930", "4150930", "5030"}) {
    EXPECT_FALSE(IsExpired(repeating, LocalSeconds(2030, 1, 1))) << repeating;
  }
}

TEST_F(TimerEntryTest, WeeklyUsesZeroForSunday) {
  EXPECT_TRUE(IsDueToday("3000930", LocalSeconds(2026, 3, 15)));   // Sunday
  EXPECT_FALSE(IsDueToday("3000930", LocalSeconds(2026, 3, 16)));  // Monday
  EXPECT_TRUE(IsDueToday("3060930", LocalSeconds(2026, 3, 21)));   // Saturday
  EXPECT_FALSE(IsDueToday("3070930", LocalSeconds(2026, 3, 22)));  // no weekday 7
}

int DueDaysInMonth(const std::string& code, int year, int month) {
  int due = 0;
  for (int day = 1; day <= 31; ++day) {
    int64_t t = LocalSeconds(year, month, day, 12);
    // mktime carries day 31 of a short month into the next; only count real days.
    if (LocalDateOf(t).month != month) continue;
    if (IsDueToday(code, t)) ++due;
  }
  return due;
}

TEST_F(TimerEntryTest, MonthlyIsNeverMovedToAShorterMonthsLastDay) {
  EXPECT_EQ(DueDaysInMonth("40311200", 2026, 1), 1);
  EXPECT_EQ(DueDaysInMonth("40311200", 2026, 4), 0);
  EXPECT_EQ(DueDaysInMonth("40311200", 2026, 2), 0);
  EXPECT_EQ(DueDaysInMonth("40291200", 2026, 2), 0);
  EXPECT_EQ(DueDaysInMonth("40301200", 2026, 2), 0);
  EXPECT_EQ(DueDaysInMonth("40291200", 2024, 2), 1);
  EXPECT_TRUE(IsDueToday("40291200", LocalSeconds(2024, 2, 29)));
  EXPECT_TRUE(IsDueToday("40011200", LocalSeconds(2026, 3, 1)));
  EXPECT_FALSE(IsDueToday("4011200", LocalSeconds(2026, 3, 1)));  // "%d" is two digits
}

TEST_F(TimerEntryTest, MinuteMatching) {
  EXPECT_TRUE(MatchesMinute("5045", "0045"));
  EXPECT_TRUE(MatchesMinute("5045", "1345"));
  EXPECT_TRUE(MatchesMinute("5045", "2345"));
  EXPECT_FALSE(MatchesMinute("5045", "1346"));
  EXPECT_TRUE(MatchesMinute("10202603150930", "0930"));

  int hourly = 0, daily = 0;
  for (int h = 0; h < 24; ++h) {
    for (int m = 0; m < 60; ++m) {
      char hhmm[8];
      std::snprintf(hhmm, sizeof hhmm, "%02d%02d", h, m);
      hourly += MatchesMinute("5045", hhmm);
      daily += MatchesMinute("210805", hhmm);
    }
  }
  EXPECT_EQ(hourly, 24);
  EXPECT_EQ(daily, 1);
}

TEST_F(TimerEntryTest, DamagedCodesAreNeverDueAndNeverCrash) {
  const int64_t now = LocalSeconds(2026, 3, 15, 9, 30);
  const std::vector<std::string> codes = {"",
                                          "1",
                                          "2",
                                          "3",
                                          "4",
                                          "5",
                                          "11",
                                          "31",
                                          "x",
                                          "0100930",
                                          "6100930",
                                          "abcdefghijklmnop",
                                          "3\xE6\x97\xA5"
                                          "0930",
                                          std::string(100000, '1'),
                                          std::string("2\0"
                                                      "0930",
                                                      6)};
  for (const std::string& code : codes) {
    (void)Kind(code);
    (void)ShutdownAfter(code);
    (void)IsDueToday(code, now);
    (void)MatchesMinute(code, "0930");
    (void)MatchesMinute(code, "");
    (void)IsExpired(code, now);
    (void)DisplayText(TimerEntry{code, "web"});
  }
  for (const char* never : {"", "3", "4", "6100930", "0100930"}) {
    EXPECT_FALSE(IsDueToday(never, now)) << never;
  }
  EXPECT_FALSE(MatchesMinute("5", "0930"));
  EXPECT_EQ(DisplayText(TimerEntry{"6100930", "web"}), "");
}

TEST_F(TimerEntryTest, RowTextFromStoredCodes) {
  EXPECT_EQ(DisplayText(TimerEntry{"210805", "web"}), "毎日08時05分-OFF-web");
  EXPECT_EQ(DisplayText(TimerEntry{"200805", "web"}), "毎日08時05分-web");
  EXPECT_EQ(DisplayText(TimerEntry{"10202603150930", "サイト"}), "2026年03月15日09時30分-サイト");
  EXPECT_EQ(DisplayText(TimerEntry{"3100930", "a"}), "毎週日曜日09時30分-OFF-a");
  EXPECT_EQ(DisplayText(TimerEntry{"40311200", "a"}), "毎月31日12時00分-a");
  EXPECT_EQ(DisplayText(TimerEntry{"5045", "log"}), "毎時間45分-log");
  EXPECT_EQ(DisplayText(TimerEntry{"3060705", "x"}), "毎週土曜日07時05分-x");
  // Digits are copied as they stand, not checked.
  EXPECT_EQ(DisplayText(TimerEntry{"209977", "a"}), "毎日99時77分-a");
}

TEST_F(TimerEntryTest, WeekdayOutsideZeroToSixShowsAsItself) {
  EXPECT_EQ(DisplayText(TimerEntry{"3170930", "web"}), "7OFF-web");
  EXPECT_EQ(DisplayText(TimerEntry{"30x0930", "web"}), "xweb");
  EXPECT_EQ(DisplayText(TimerEntry{"30\xE6\x97\xA5"
                                   "0930",
                                   "web"}),
            "\xE6\x97\xA5"
            "web");
  EXPECT_EQ(DisplayText(TimerEntry{"31", "web"}), "OFF-web");
}

TEST_F(TimerEntryTest, EditorWritesTheDocumentedCodes) {
  EXPECT_EQ(EntryCode({2, true, 0, 0, 0, 0, 8, 5}), "210805");
  EXPECT_EQ(EntryCode({5, false, 0, 0, 0, 0, 0, 45}), "5045");
  EXPECT_EQ(EntryCode({1, false, 2026, 3, 15, 0, 9, 30}), "10202603150930");
  EXPECT_EQ(EntryCode({9, true, 0, 0, 31, 0, 23, 59}), "");
}

}  // namespace
}  // namespace tolvane
