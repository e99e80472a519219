#pragma once
// A main window's worth of schedule state with fake seams, a temporary program folder and a
// fixed time zone. Runs are recorded by list name; `duringRun` lets a test act inside a run.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "schedule/LocalClock.h"
#include "schedule/ScheduleTicker.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "support/Fakes.h"
#include "support/TempDir.h"
#include "window/MainState.h"

namespace tolvane::test {

class TickerFixture : public ::testing::Test {
 protected:
  TickerFixture() {
    settings.exeFolder = dir.path();
    settings.iniPath = dir / "kestra.ini";
  }

  // 2026-03-15, a Sunday, at the given local time.
  void At(int hour, int minute, int second = 0) {
    clock.now = LocalSeconds(2026, 3, 15, hour, minute, second);
  }
  void Tick() { ticker.OnTimer(); }
  // One tick every 250 ms for `seconds` seconds.
  void TickFor(int seconds) {
    for (int i = 0; i < seconds * 4; ++i) {
      Tick();
      if (i % 4 == 3) ++clock.now;
    }
  }

  // The main window's start-up, in its order.
  void StartUp(int storedTimer) {
    settings.timer = static_cast<uint8_t>(storedTimer);
    ticker.LoadAtStart();
    state.m_busy = false;
    state.m_todayEntries.clear();
    ticker.ApplyStoredSwitch();
  }

  int StoredTimer() {
    AppSettings stored;
    stored.exeFolder = settings.exeFolder;
    stored.iniPath = settings.iniPath;
    LoadSettings(stored);
    return stored.timer;
  }

  // The missed entries as "due-time list" texts.
  std::vector<std::string> Missed() const {
    std::vector<std::string> texts;
    for (const MissedRun& run : missed) texts.push_back(run.dueAt + " " + run.listName);
    return texts;
  }

  void Run(const TimerEntry& entry) {
    EXPECT_EQ(state.m_busy, false);
    runs.push_back(entry.listName);
    shutdownsBeforeRun.push_back(shutdown.calls);
    if (duringRun) duringRun(entry);
  }

  ScopedTimeZone tz{"JST-9"};
  TempDir dir;
  AppSettings settings;
  MainState state;
  FakeMainView view;
  RecordingPrompts prompts;
  RecordingStatus status;
  FakeClock clock;
  FakeShutdown shutdown;
  MainContext ctx{settings, state, view, prompts, status, clock};
  std::vector<std::string> runs;
  std::vector<int> shutdownsBeforeRun;
  std::function<void(const TimerEntry&)> duringRun;
  std::vector<MissedRun> missed;  // entries the ticker reported as due and not run
  ScheduleTicker ticker{ctx, shutdown, [this](const TimerEntry& entry) { Run(entry); },
                        [this](const std::vector<MissedRun>& told) {
                          missed.insert(missed.end(), told.begin(), told.end());
                        }};
};

}  // namespace tolvane::test
