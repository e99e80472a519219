#include "schedule/ScheduleTicker.h"

#include <algorithm>
#include <utility>

#include "platform/Cp932.h"
#include "platform/LocalTime.h"
#include "schedule/TimerCodeText.h"
#include "schedule/TimerFile.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "window/MainState.h"
#include "window/StatusTexts.h"

namespace tolvane {
namespace {

constexpr const char* kClockFormat = "%H：%M：%S";
constexpr const char* kDateFormat = "%Y%m%d";
constexpr const char* kMinuteStamp = "%Y%m%d%H%M";

}  // namespace

ScheduleTicker::ScheduleTicker(MainContext& ctx, Shutdown& shutdown,
                               std::function<void(const TimerEntry&)> runEntry,
                               MissedReport reportMissed)
    : m_ctx(ctx),
      m_shutdown(shutdown),
      m_runEntry(std::move(runEntry)),
      m_reportMissed(std::move(reportMissed)) {}

void ScheduleTicker::RebuildDaySelection() { LoadSchedule(Load::Rebuild); }
void ScheduleTicker::PurgeExpiredOneShots() { LoadSchedule(Load::Purge); }
void ScheduleTicker::LoadAtStart() { LoadSchedule(Load::Both); }

void ScheduleTicker::LoadSchedule(Load what) {
  int64_t now = m_ctx.clock.Now();
  if (m_ctx.state.m_clockText.empty()) m_ctx.state.m_clockText = FormatLocal(now, kClockFormat);
  std::optional<std::vector<std::string>> bytes = ReadTimerFileBytes(m_ctx.settings);
  // Without a file the day selection stays as it was.
  if (!bytes) return;
  if (what != Load::Purge) {
    std::vector<std::string> lines;
    lines.reserve(bytes->size());
    for (const std::string& line : *bytes) lines.push_back(FromCp932(line));
    BuildDaySelection(lines, now);
  }
  if (what != Load::Rebuild) PurgeExpired(std::move(*bytes), now, what == Load::Both);
}

void ScheduleTicker::BuildDaySelection(const std::vector<std::string>& lines, int64_t now) {
  std::vector<TimerEntry>& today = m_ctx.state.m_todayEntries;
  today.clear();
  m_ctx.state.m_selectionDate = FormatLocal(now, kDateFormat);
  for (TimerEntry& entry : PairEntries(lines)) {
    if (today.size() >= kMaxTimerEntries) break;  // entries are counted in 16 bits
    if (IsDueToday(entry.code, now)) today.push_back(std::move(entry));
  }
}

// Removes expired one-shot entries from the file, whose lines come as undecoded bytes: codes
// are ASCII digits either way, and the lines kept are written back byte for byte. The day selection is left alone: a one-shot
// removed here still fires from it at its minute.
// At start-up the switch rebuilds the selection from the file right after this purge, so a
// one-shot of the current minute is kept until it has fired (the purge after firing removes
// it); otherwise starting at 09:30:20 would silently drop the 09:30 entry unrun.
void ScheduleTicker::PurgeExpired(std::vector<std::string> lines, int64_t now,
                                  bool keepThisMinute) {
  const std::string thisMinute = FormatLocal(now, kMinuteStamp);
  // At start-up, one-shots whose minute passed while the program was not running go unrun;
  // with the schedule on they were due, and the person hears of them.
  const bool tellMissed = keepThisMinute && m_ctx.settings.timer != 0;
  std::vector<MissedRun> missed;
  std::vector<std::string> kept;
  kept.reserve(lines.size());
  size_t i = 0;
  for (; i + 1 < lines.size(); i += 2) {
    bool dueNow = keepThisMinute && timercode::Last(lines[i], 12) == thisMinute;
    if (IsExpired(lines[i], now) && !dueNow) {
      if (tellMissed) {
        missed.push_back({ShownMinute(std::string(timercode::Last(lines[i], 12))),
                          FromCp932(lines[i + 1]), MissedRun::Why::NotRunning});
      }
      continue;
    }
    kept.push_back(std::move(lines[i]));
    kept.push_back(std::move(lines[i + 1]));
  }
  // An odd last line is no entry, but it is the user's text: keep it.
  if (i < lines.size()) kept.push_back(std::move(lines[i]));
  if (!WriteTimerFileBytes(m_ctx.settings, kept)) {
    m_ctx.prompts.Error("タイマー設定を更新できませんでした");
  }
  ReportMissed(missed);
}

void ScheduleTicker::ReportMissed(const std::vector<MissedRun>& missed) {
  if (!missed.empty() && m_reportMissed) m_reportMissed(missed);
}

void ScheduleTicker::OnTimer() {
  MainState& state = m_ctx.state;
  if (state.m_busy) return;
  int64_t now = m_ctx.clock.Now();
  std::string clockText = FormatLocal(now, kClockFormat);
  if (clockText != state.m_clockText) {
    state.m_clockText = clockText;
    ShowIdleStatus();
  }
  if (m_ctx.settings.timer == 0) return;
  std::string minute = FormatLocal(now, "%H%M");
  if (minute != state.m_lastMinute) ProcessMinute(minute, now);
}

void ScheduleTicker::ProcessMinute(const std::string& minute, int64_t now) {
  MainState& state = m_ctx.state;
  state.m_lastMinute = minute;
  const std::string wallMinute = FormatLocal(now, kMinuteStamp);
  const int64_t minuteStart = now - now % 60;
  if (!m_latestWallMinute.empty() && wallMinute <= m_latestWallMinute) {
    // The hour after the change back to standard time reads as one already processed: its
    // entries ran the first time round. A clock set back by hand starts afresh.
    if (minuteStart > m_latestMinuteStart) return;
    m_latestWallMinute.clear();
  }
  // A new day, found by its date rather than by 00:00: that minute is lost when the machine
  // sleeps or a run holds the busy flag over midnight, and yesterday's selection would then
  // fire its one-shots again and miss today's entries.
  if (FormatLocal(now, kDateFormat) != state.m_selectionDate) RebuildDaySelection();
  std::vector<TimerEntry> due;
  if (!m_latestWallMinute.empty()) due = LookAtGap(wallMinute);
  m_latestWallMinute = wallMinute;
  m_latestMinuteStart = minuteStart;

  bool oneShotFired = false;
  bool shutdownWanted = false;
  auto run = [&](const TimerEntry& entry) {
    m_runEntry(entry);
    // Whatever the run's outcome, the entry counts as fired.
    if (Kind(entry.code) == '1') oneShotFired = true;
    if (ShutdownAfter(entry.code)) shutdownWanted = true;
  };
  for (const TimerEntry& entry : due) run(entry);
  // The size is read again each step: a run may let the timer dialog rebuild the selection.
  for (size_t i = 0; i < state.m_todayEntries.size(); ++i) {
    const TimerEntry entry = state.m_todayEntries[i];
    if (!MatchesMinute(entry.code, minute)) continue;
    // An hourly entry due in the skipped hour and now runs once.
    if (std::find(due.begin(), due.end(), entry) != due.end()) continue;
    run(entry);
  }
  if (oneShotFired) PurgeExpiredOneShots();
  if (shutdownWanted) PowerOffAfterRuns();
}

std::vector<TimerEntry> ScheduleTicker::LookAtGap(const std::string& wallMinute) {
  const ClockGap gap = ClockGapBetween(m_latestWallMinute, wallMinute);
  if (!gap.passed.empty()) {
    std::optional<std::vector<std::string>> bytes = ReadTimerFileBytes(m_ctx.settings);
    std::vector<std::string> lines;
    for (const std::string& line : bytes.value_or(std::vector<std::string>{})) {
      lines.push_back(FromCp932(line));
    }
    const std::vector<MissedRun> missed = DueIn(gap.passed, PairEntries(lines));
    ReportMissed(missed);
    // Missed one-shots leave the file now rather than at the next one that fires.
    if (!missed.empty()) PurgeExpiredOneShots();
  }
  // The clock jumped over an hour: its entries run now, in their order, once each.
  std::vector<TimerEntry> due;
  for (const std::string& skipped : gap.skipped) {
    const std::string hhmm = skipped.substr(8);
    for (const TimerEntry& entry : m_ctx.state.m_todayEntries) {
      if (!MatchesMinute(entry.code, hhmm)) continue;
      if (std::find(due.begin(), due.end(), entry) == due.end()) due.push_back(entry);
    }
  }
  return due;
}

void ScheduleTicker::PowerOffAfterRuns() {
  m_ctx.status.SetStatus("Windowsを終了しています...");
  m_shutdown.PowerOff();
}

void ScheduleTicker::OnTimerOn() {
  AppSettings& settings = m_ctx.settings;
  if (settings.timer != 0) {
    settings.timer = 0;
    m_ctx.view.SetTimerChecked(false);
  } else {
    settings.timer = 1;
    m_latestWallMinute.clear();
    m_latestMinuteStart = -1;
    RebuildDaySelection();
    m_ctx.view.SetTimerChecked(true);
  }
  ShowIdleStatus();
  // A failed write only means the next start uses the old switch; nothing to tell the user.
  WriteSettingInt(settings, "timer", "timer", settings.timer);
}

void ScheduleTicker::ApplyStoredSwitch() {
  // Start from the opposite and toggle, so the check mark, status line, day selection and
  // stored key all follow the stored value (and a stored 5 ends as 1).
  m_ctx.settings.timer = m_ctx.settings.timer == 0 ? 1 : 0;
  OnTimerOn();
}

void ScheduleTicker::ShowIdleStatus() {
  m_ctx.status.SetStatus(IdleText(m_ctx.settings, m_ctx.state));
}

}  // namespace tolvane
