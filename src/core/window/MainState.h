#pragma once
// The state the main window shares between the upload run, the schedule, the list commands
// and the clock check.
#include <cstdint>
#include <string>
#include <vector>

#include "schedule/TimerEntry.h"

namespace tolvane {

struct MainState {
  std::vector<std::string> filePaths;      // full local paths behind the file list, in order
  std::vector<std::string> m_asciiExts;    // extensions sent in ASCII mode
  bool m_inTray = false;                   // hidden, with the tray icon shown
  std::vector<TimerEntry> m_todayEntries;  // the day selection the tick looks at
  std::string m_selectionDate;             // "%Y%m%d" of the day the selection was built for
  std::string m_lastMinute;                // "%H%M" of the minute last processed
  std::string m_clockText;                 // "%H：%M：%S" shown after the TIMER text
  std::string m_lastResult;                // what the last run did, as the window shows it
  bool m_busy = false;                     // an upload run or clock check is in progress
  // The window was ended while a run was busy: the run should stop at its next step; the
  // window closes as soon as m_busy is cleared.
  bool m_closing = false;
  // The system asked the program to end (logout, power-off): a transfer in progress is
  // broken off at once and cleaned up, and no message box holds the end up.
  bool m_terminating = false;
  bool m_runLogFailureTold = false;  // an unwritable run log is told once per program run
};

}  // namespace tolvane
