#include "upload/UploadStarter.h"

#include "Seams.h"
#include "lists/ListStore.h"
#include "upload/ResultLine.h"
#include "upload/RunLog.h"
#include "window/GatheredNotices.h"
#include "window/MainState.h"

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

// Keeps the result in the file line until the next run, with what the person should know:
// server times ahead of the clock, and (once per program run: a message box would hold up the
// schedule, and every later run would fail the same way) a log that cannot be written.
void ShowResult(MainContext& ctx, const UploadReport& report) {
  std::string shown = ResultLine(report);
  if (report.serverAhead) shown += std::string("　") + kServerAheadText;
  if (report.logFailed && !ctx.state.m_runLogFailureTold) {
    ctx.state.m_runLogFailureTold = true;
    shown += std::string("　") + kRunLogFailedText;
  }
  ctx.status.SetFileLine(shown);
  ctx.state.m_lastResult = shown;
}

// Reads the list, runs it and logs it. `gathered`, when given, holds the notices the run gave
// instead of showing them; they go into the log too.
UploadReport RunList(MainContext& ctx, UploadRequest request, const FtpOptions& options,
                     UploadMethod method, const GatheredNotices* gathered = nullptr) {
  RunLog log(ctx.settings);
  UploadReport report;
  std::optional<UploadList> list = ReadListFile(ctx.settings, request.listName);
  if (!list) {
    ctx.prompts.Error("\"" + request.listName + "\"リストを読み込めませんでした");
    report.listUnreadable = true;
    report.startedAt = report.endedAt = ctx.clock.Now();
  } else {
    request.entries = std::move(list->entries);
    FtpOptions logged = options;
    log.Listen(logged);
    report = UploadRun(ctx, logged, method).Execute(request);
  }
  if (gathered) report.messages = gathered->Texts();
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
  UploadRequest request;
  request.origin = RunOrigin::Button;
  request.mode = ModeFor(ctx.view.CtrlDown(), ctx.view.ShiftDown(), ctx.settings);
  int selected = ctx.view.ListSelection();
  if (selected < 0) {
    ctx.prompts.Error("リストが選択されていません");
    return std::nullopt;
  }
  request.listName = ctx.view.ListName(selected);
  return RunList(ctx, std::move(request), options, method);
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
  UploadReport report = RunList(quiet, std::move(request), options, UploadMethod::Listed, &notices);
  if (!ctx.state.m_terminating) notices.ShowGathered();
  return report;
}

void RecordMissedRuns(MainContext& ctx, const std::vector<MissedRun>& missed) {
  if (missed.empty()) return;
  RunLog log(ctx.settings);
  const bool logged = log.AppendMissed(missed, ctx.clock.Now());
  std::string shown = ctx.state.m_lastResult;
  if (shown.find(kMissedRunsText) == std::string::npos) {
    shown += (shown.empty() ? "" : "　") + std::string(kMissedRunsText);
  }
  if (!logged && !ctx.state.m_runLogFailureTold) {
    ctx.state.m_runLogFailureTold = true;
    shown += std::string("　") + kRunLogFailedText;
  }
  ctx.status.SetFileLine(shown);
  ctx.state.m_lastResult = shown;
}

}  // namespace tolvane
