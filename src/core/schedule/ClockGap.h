#pragma once
// The minutes of the local clock the schedule did not see: between two minutes it processed,
// either time passed unnoticed (the machine slept, a run held the tick) or the clock jumped
// (the hour a daylight-saving change skips). Minutes are "%Y%m%d%H%M" texts.
#include <cstdint>
#include <string>
#include <vector>

#include "schedule/TimerEntry.h"

namespace tolvane {

// Gaps longer than this are looked at only for their last part.
inline constexpr int64_t kClockGapMinutesLooked = 35 * 24 * 60;

struct ClockGap {
  std::vector<std::string> passed;   // came and went while nothing was processed
  std::vector<std::string> skipped;  // never existed, and the clock's next minute is now
};

// The minutes strictly between `last` and `now` (both local "%Y%m%d%H%M").
ClockGap ClockGapBetween(const std::string& last, const std::string& now);

// An entry that was due and did not run.
struct MissedRun {
  enum class Why {
    NotRunning,  // its minute passed while the program was not running
    Away,        // its minute passed while the machine slept or another run was in progress
    OtherRun,    // another program's run held the folder at its minute
  };
  std::string dueAt;  // "%Y-%m-%d %H:%M"
  std::string listName;
  Why why = Why::Away;
};

// The entries of timer.ini's `entries` that were due in one of `minutes`, in time order.
std::vector<MissedRun> DueIn(const std::vector<std::string>& minutes,
                             const std::vector<TimerEntry>& entries);

// "%Y%m%d%H%M" as "%Y-%m-%d %H:%M".
std::string ShownMinute(const std::string& minute);

}  // namespace tolvane
