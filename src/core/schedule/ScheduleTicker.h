#pragma once
// The schedule's clock: the 250 ms tick that keeps the clock text current and fires the entries
// of the day selection at their minute, the TIMER ON/OFF switch, and the day selection itself.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Seams.h"
#include "schedule/ClockGap.h"
#include "schedule/TimerEntry.h"
#include "window/MainView.h"

namespace tolvane {

class ScheduleTicker {
 public:
  using MissedReport = std::function<void(const std::vector<MissedRun>&)>;

  // `runEntry` runs the upload of an entry come due (the main window's scheduled upload);
  // `reportMissed` hears of entries that were due and did not run.
  ScheduleTicker(MainContext& ctx, Shutdown& shutdown,
                 std::function<void(const TimerEntry&)> runEntry, MissedReport reportMissed = {});

  // Rebuilds the day selection from timer.ini (a missing file leaves it as it was).
  void RebuildDaySelection();
  // Removes one-shot entries whose minute has passed from timer.ini.
  void PurgeExpiredOneShots();
  // Start-up: both, keeping a one-shot of the current minute until it has fired.
  void LoadAtStart();

  // One 250 ms tick.
  void OnTimer();

  // The "タイマー ON" command: flips the switch, the check mark, the status line and the
  // stored key.
  void OnTimerOn();

  // Start-up: applies the stored switch through OnTimerOn so that every place follows it.
  void ApplyStoredSwitch();

 private:
  enum class Load { Rebuild, Purge, Both };
  void LoadSchedule(Load what);
  void BuildDaySelection(const std::vector<std::string>& lines, int64_t now);
  void PurgeExpired(std::vector<std::string> lines, int64_t now, bool keepThisMinute);
  void ProcessMinute(const std::string& minute, int64_t now);
  // The entries of the minutes between the last one processed and `wallMinute`: those of
  // minutes that passed unseen are reported, those of an hour the clock skipped are returned
  // to run now.
  std::vector<TimerEntry> LookAtGap(const std::string& wallMinute);
  void ReportMissed(const std::vector<MissedRun>& missed);
  void PowerOffAfterRuns();
  void ShowIdleStatus();

  MainContext& m_ctx;
  Shutdown& m_shutdown;
  std::function<void(const TimerEntry&)> m_runEntry;
  MissedReport m_reportMissed;
  // The latest local minute processed ("%Y%m%d%H%M") and the real time its processing began:
  // a clock reading again after an hour turned back is not processed twice. Both are cleared
  // when the switch goes on, since minutes with the schedule off were never due.
  std::string m_latestWallMinute;
  int64_t m_latestMinuteStart = -1;
};

}  // namespace tolvane
