#pragma once
// The entry editor's numbers for one entry, and the two things made from them: the stored
// entry code and the row text of the timer list (which must equal DisplayText of the stored
// entry).
#include <string>

namespace tolvane {

struct TimerSetting {
  int kind = 1;  // 1 once, 2 every day, 3 every week, 4 every month, 5 every hour
  bool shutdown = false;
  int year = 0;     // kind 1, four digits
  int month = 0;    // kind 1, 1-12
  int day = 0;      // kinds 1 and 4, 1-31
  int weekday = 0;  // kind 3, 0 Sunday … 6 Saturday
  int hour = 0;     // kinds 1-4, 0-23
  int minute = 0;   // 0-59
};

// The entry code ("210805" for a daily 08:05 run with shutdown); empty for an unknown kind.
std::string EntryCode(const TimerSetting& setting);

// The row text built from the numbers, e.g. 毎日08時05分-OFF-web; empty for an unknown kind.
std::string DisplayText(const TimerSetting& setting, const std::string& listName);

}  // namespace tolvane
