#pragma once
// The entry editor's numbers for one entry, and the stored entry code made from them. The row
// text of the timer list is DisplayText of that code, so the editor and the list cannot differ.
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

}  // namespace tolvane
