#include "upload/UploadStarter.h"

#include "Seams.h"
#include "lists/ListStore.h"
#include "platform/LocalTime.h"
#include "upload/ResultLine.h"
#include "upload/RunLock.h"
#include "upload/RunLog.h"
#include "window/BusyGuard.h"
#include "window/GatheredNotices.h"
#include "window/MainState.h"
#include "window/StatusTexts.h"

namespace tolvane {
namespace {

// Marks the window busy with the button disabled while a request is built and run.
class WindowBusy {
 public:
  explicit WindowBusy(MainContext& ctx) : m_ctx(ctx), m_entered(!ctx.state.m_busy) {
    if (!m_entered) return;
    m_ctx.state.m_busy = true;
    m_ctx.view.SetUploadEnabled(false);
  }
  ~WindowBusy() {
    if (!m_entered) return;
    m_ctx.view.SetUploadEnabled(true);
    m_ctx.state.m_busy = false;
  }
  WindowBusy(const WindowBusy&) = delete;
  WindowBusy& operator=(const WindowBusy&) = delete;
  bool entered() const { return m_entered; }

 private:
  MainContext& m_ctx;
  bool m_entered;
};

// The list selected in the window, or nullopt after telling that none is.
std::optional<std::string> SelectedList(MainContext& ctx) {
  int selected = ctx.view.ListSelection();
  if (selected < 0) {
    ctx.prompts.Error("リストが選択されていません");
    return std::nullopt;
  }
  return ctx.view.ListName(selected);
}

// The button's request: the selected list in the keys' mode; nullopt after telling that no
// list is selected.
std::optional<UploadRequest> ButtonRequest(MainContext& ctx) {
  std::optional<std::string> list = SelectedList(ctx);
  if (!list) return std::nullopt;
  UploadRequest request;
  request.origin = RunOrigin::Button;
  request.mode = ModeFor(ctx.view.CtrlDown(), ctx.view.ShiftDown(), ctx.settings);
  request.listName = *list;
  return request;
}

// Fills in the request's entries from its list file; false after telling it cannot be read.
bool ReadEntries(MainContext& ctx, UploadRequest& request) {
  std::optional<UploadList> list = ReadListFile(ctx.settings, request.listName);
  if (!list) {
    ctx.prompts.Error("\"" + request.listName + "\"リストを読み込めませんでした");
    return false;
  }
  request.entries = std::move(list->entries);
  return true;
}

// Keeps `shown` in the file line until the next run, with (once per program run: a message box
// would hold up the schedule, and every later run would fail the same way) a log that cannot
// be written.
void KeepInFileLine(MainContext& ctx, std::string shown, bool logFailed) {
  if (logFailed && !ctx.state.m_runLogFailureTold) {
    ctx.state.m_runLogFailureTold = true;
    shown += std::string("　") + kRunLogFailedText;
  }
  ctx.status.SetFileLine(shown);
  ctx.state.m_lastResult = shown;
}

// What the run did, and server times ahead of the clock.
void ShowResult(MainContext& ctx, const UploadReport& report) {
  std::string shown = ResultLine(report);
  if (report.serverAhead) shown += std::string("　") + kServerAheadText;
  KeepInFileLine(ctx, std::move(shown), report.logFailed);
}

struct RunSetup {
  FtpOptions options;
  UploadMethod method = UploadMethod::Listed;
  // When given, holds the notices the run gave instead of showing them; they go into the log.
  const GatheredNotices* gathered = nullptr;
  EntryReport entryDone;
};

// Waits for the folder's run lock, reads the list, runs it and logs it. nullopt when another
// run kept the lock.
std::optional<UploadReport> RunList(MainContext& ctx, UploadRequest request,
                                    const RunSetup& setup) {
  RunLock lock(ctx.settings.exeFolder);
  if (!lock.Acquire(ctx.clock, 0)) {
    ctx.status.SetStatus("ほかのアップロードの終了を待っています...");
    const bool acquired = lock.Acquire(ctx.clock);
    ctx.status.SetStatus(IdleText(ctx.settings, ctx.state));
    if (!acquired) return std::nullopt;
  }
  RunLog log(ctx.settings);
  UploadReport report;
  if (!ReadEntries(ctx, request)) {
    report.listUnreadable = true;
    report.startedAt = report.endedAt = ctx.clock.Now();
  } else {
    FtpOptions logged = setup.options;
    log.Listen(logged);
    UploadRun run(ctx, logged, setup.method);
    std::vector<bool> told(request.entries.size());
    if (setup.entryDone) {
      run.ObserveEntries([&](size_t index, const EntryOutcome& outcome) {
        told[index] = true;
        setup.entryDone(request.entries[index], outcome);
      });
    }
    report = run.Execute(request);
    // The entries a broken-off run never reached are told last.
    for (size_t i = 0; setup.entryDone && report.connected && i < told.size(); ++i) {
      if (!told[i]) setup.entryDone(request.entries[i], report.outcomes[i]);
    }
  }
  if (setup.gathered) report.messages = setup.gathered->Texts();
  report.logFailed = !log.Append(request, report);
  ShowResult(ctx, report);
  return report;
}

}  // namespace

UploadMode ModeFor(bool ctrlDown, bool shiftDown, const AppSettings& settings) {
  UploadMode mode = UploadMode::Newer;
  if (ctrlDown) mode = UploadMode::NewerOrSame;
  if (shiftDown) mode = UploadMode::Unchecked;
  if (AppSettings::IsOn(settings.ctrl)) mode = UploadMode::NewerOrSame;
  if (AppSettings::IsOn(settings.shift)) mode = UploadMode::Unchecked;
  return mode;
}

std::optional<UploadReport> UploadFromButton(MainContext& ctx, FtpOptions options,
                                             UploadMethod method) {
  WindowBusy busy(ctx);
  if (!busy.entered()) return std::nullopt;
  std::optional<UploadRequest> request = ButtonRequest(ctx);
  if (!request) return std::nullopt;
  std::optional<UploadReport> report =
      RunList(ctx, std::move(*request), {std::move(options), method, nullptr, {}});
  if (!report) ctx.prompts.Error(kOtherRunText);
  return report;
}

std::optional<UploadPreview> PreviewFromButton(MainContext& ctx, FtpOptions options,
                                               UploadMethod method) {
  // The menu stays open to a run in progress, which the preview would disturb.
  if (RefuseWhileBusy(ctx)) return std::nullopt;
  WindowBusy busy(ctx);
  std::optional<UploadRequest> request = ButtonRequest(ctx);
  if (!request) return std::nullopt;
  std::optional<UploadPreview> preview = PreviewList(ctx, std::move(*request), options, method);
  // Nothing was done: what the last run did comes back into view.
  ctx.status.SetFileLine(ctx.state.m_lastResult);
  if (preview && !preview->report.connected) return std::nullopt;  // the failure has been shown
  return preview;
}

std::optional<UploadPreview> PreviewList(MainContext& ctx, UploadRequest request,
                                         FtpOptions options, UploadMethod method) {
  request.preview = true;
  if (!ReadEntries(ctx, request)) return std::nullopt;
  UploadReport report = UploadRun(ctx, std::move(options), method).Execute(request);
  return UploadPreview{std::move(request), std::move(report), ctx.settings.hostname,
                       ctx.settings.serverfolder, ctx.settings.clockCorrectionMinutes};
}

std::optional<UploadReport> UploadListNow(MainContext& ctx, const std::string& listName,
                                          UploadMode mode, FtpOptions options) {
  WindowBusy busy(ctx);
  if (!busy.entered()) return std::nullopt;
  UploadRequest request;
  request.origin = RunOrigin::Button;
  request.mode = mode;
  request.listName = listName;
  std::optional<UploadReport> report =
      RunList(ctx, std::move(request), {std::move(options), UploadMethod::Listed, nullptr, {}});
  if (!report) ctx.prompts.Error(kOtherRunText);
  return report;
}

std::optional<UploadReport> UploadFromSchedule(MainContext& ctx, const TimerEntry& entry,
                                               FtpOptions options) {
  WindowBusy busy(ctx);
  if (!busy.entered()) return std::nullopt;
  UploadRequest request;
  request.origin = RunOrigin::Schedule;
  request.mode = ModeFor(false, false, ctx.settings);
  request.listName = entry.listName;
  if (AppSettings::IsOn(ctx.settings.raiseOnScheduledRun)) ctx.view.BringToFront();
  // Nobody may be there to close a box: what the run has to say waits for its end and then
  // stays up without holding the schedule.
  GatheredNotices notices(ctx.prompts);
  MainContext quiet{ctx.settings, ctx.state, ctx.view, notices, ctx.status, ctx.clock};
  std::optional<UploadReport> report =
      RunList(quiet, request, {std::move(options), UploadMethod::Listed, &notices, {}});
  if (!report) {
    // Another run held the folder all along: the entry was due and did not run.
    RecordMissedRuns(ctx, {{FormatLocal(ctx.clock.Now(), "%Y-%m-%d %H:%M"), request.listName,
                            MissedRun::Why::OtherRun}});
  }
  if (!ctx.state.m_terminating) notices.ShowGathered();
  return report;
}

std::optional<UploadReport> UploadFromCommandLine(MainContext& ctx, const std::string& listName,
                                                  UploadMode mode, FtpOptions options,
                                                  EntryReport entryDone) {
  UploadRequest request;
  request.origin = RunOrigin::CommandLine;
  request.mode = mode;
  request.listName = listName;
  return RunList(ctx, std::move(request),
                 {std::move(options), UploadMethod::Listed, nullptr, std::move(entryDone)});
}

void RecordMissedRuns(MainContext& ctx, const std::vector<MissedRun>& missed) {
  if (missed.empty()) return;
  RunLog log(ctx.settings);
  const bool logged = log.AppendMissed(missed, ctx.clock.Now());
  std::string shown = ctx.state.m_lastResult;
  if (shown.find(kMissedRunsText) == std::string::npos) {
    shown += (shown.empty() ? "" : "　") + std::string(kMissedRunsText);
  }
  KeepInFileLine(ctx, std::move(shown), !logged);
}

}  // namespace tolvane
