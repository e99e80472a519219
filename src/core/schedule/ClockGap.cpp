#include "schedule/ClockGap.h"

#include <ctime>

#include "platform/LocalTime.h"

namespace tolvane {
namespace {

constexpr const char* kMinuteStamp = "%Y%m%d%H%M";

// A minute text as broken-down time; false for a damaged text.
bool Parse(const std::string& minute, std::tm& tm) {
  if (minute.size() != 12) return false;
  for (char c : minute) {
    if (c < '0' || c > '9') return false;
  }
  tm = {};
  tm.tm_year = std::stoi(minute.substr(0, 4)) - 1900;
  tm.tm_mon = std::stoi(minute.substr(4, 2)) - 1;
  tm.tm_mday = std::stoi(minute.substr(6, 2));
  tm.tm_hour = std::stoi(minute.substr(8, 2));
  tm.tm_min = std::stoi(minute.substr(10, 2));
  return true;
}

// Counts the clock's minutes as if no zone had a daylight-saving change: walking from one
// minute to the next visits each reading the clock could show once.
int64_t ReadingNumber(std::tm tm) { return static_cast<int64_t>(timegm(&tm)) / 60; }

std::string ReadingText(int64_t number) {
  const time_t t = static_cast<time_t>(number * 60);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[16];
  std::strftime(text, sizeof text, kMinuteStamp, &tm);
  return text;
}

// Whether the local clock ever shows `minute`: the hour a change skips never does.
bool Exists(const std::string& minute) {
  std::tm tm{};
  if (!Parse(minute, tm)) return false;
  tm.tm_isdst = -1;
  const time_t t = std::mktime(&tm);
  return t != static_cast<time_t>(-1) && FormatLocal(t, kMinuteStamp) == minute;
}

}  // namespace

ClockGap ClockGapBetween(const std::string& last, const std::string& now) {
  ClockGap gap;
  std::tm from{};
  std::tm to{};
  if (!Parse(last, from) || !Parse(now, to)) return gap;
  const int64_t end = ReadingNumber(to);
  int64_t first = ReadingNumber(from) + 1;
  if (end - first > kClockGapMinutesLooked) first = end - kClockGapMinutesLooked;
  // Skipped minutes count as skipped only when nothing real lies between them and now: a
  // change the machine slept through passed like any other minute.
  std::vector<std::string> pendingSkipped;
  for (int64_t number = first; number < end; ++number) {
    std::string minute = ReadingText(number);
    if (Exists(minute)) {
      for (std::string& skipped : pendingSkipped) gap.passed.push_back(std::move(skipped));
      pendingSkipped.clear();
      gap.passed.push_back(std::move(minute));
    } else {
      pendingSkipped.push_back(std::move(minute));
    }
  }
  gap.skipped = std::move(pendingSkipped);
  return gap;
}

std::vector<MissedRun> DueIn(const std::vector<std::string>& minutes,
                             const std::vector<TimerEntry>& entries) {
  std::vector<MissedRun> missed;
  for (const std::string& minute : minutes) {
    const std::string hhmm = minute.substr(8);
    for (const TimerEntry& entry : entries) {
      // The cheap test first: most minutes match no entry at all.
      if (!MatchesMinute(entry.code, hhmm)) continue;
      std::tm tm{};
      if (!Parse(minute, tm)) continue;
      tm.tm_isdst = -1;
      tm.tm_hour = 12;  // the day's noon stands for the day whatever the clock did that night
      tm.tm_min = 0;
      if (!IsDueToday(entry.code, static_cast<int64_t>(std::mktime(&tm)))) continue;
      missed.push_back({ShownMinute(minute), entry.listName, MissedRun::Why::Away});
    }
  }
  return missed;
}

std::string ShownMinute(const std::string& minute) {
  if (minute.size() != 12) return minute;
  return minute.substr(0, 4) + "-" + minute.substr(4, 2) + "-" + minute.substr(6, 2) + " " +
         minute.substr(8, 2) + ":" + minute.substr(10, 2);
}

}  // namespace tolvane
