#pragma once
// The schedule's clock: the 250 ms tick that keeps the clock text current and fires the entries
// of the day selection at their minute, the TIMER ON/OFF switch, and the day selection itself.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "window/MainView.h"
#include "Seams.h"
#include "schedule/TimerEntry.h"

namespace tolvane {

class ScheduleTicker {
 public:
  // `runEntry` runs the upload of an entry come due (the main window's scheduled upload).
  ScheduleTicker(MainContext& ctx, Shutdown& shutdown,
                 std::function<void(const TimerEntry&)> runEntry);

  // Mode 0: rebuild the day selection; 1: rebuild and purge expired one-shot entries from the
  // timer file; 2: purge only.
  void LoadSchedule(int mode);

  // One 250 ms tick.
  void OnTimer();

  // The "タイマー ON" command: flips the switch, the check mark, the status line and the
  // stored key.
  void OnTimerOn();

  // Start-up: applies the stored switch through OnTimerOn so that every place follows it.
  void ApplyStoredSwitch();

 private:
  void BuildDaySelection(const std::vector<std::string>& lines, int64_t now);
  void PurgeExpired(std::vector<std::string> lines, int64_t now, bool keepThisMinute);
  void ProcessMinute(const std::string& minute);
  void ShutdownWindows();
  void ShowIdleStatus();

  MainContext& ctx_;
  Shutdown& shutdown_;
  std::function<void(const TimerEntry&)> runEntry_;
};

}  // namespace tolvane
