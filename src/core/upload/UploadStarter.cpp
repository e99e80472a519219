#include "upload/UploadStarter.h"

#include "Seams.h"
#include "lists/ListStore.h"
#include "upload/ResultLine.h"
#include "upload/RunLog.h"
#include "window/BusyGuard.h"
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

// The list selected in the window, or nullopt after telling that none is.
std::optional<std::string> SelectedList(MainContext& ctx) {
  int selected = ctx.view.ListSelection();
  if (selected < 0) {
    ctx.prompts.Error("リストが選択されていません");
    return std::nullopt;
  }
  return ctx.view.ListName(selected);
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

std::optional<UploadReport> RunList(MainContext& ctx, UploadRequest request,
                                    const FtpOptions& options, UploadMethod method) {
  if (!ReadEntries(ctx, request)) return std::nullopt;
  RunLog log(ctx.settings);
  FtpOptions logged = options;
  log.Listen(logged);
  UploadReport report = UploadRun(ctx, logged, method).Execute(request);
  report.logFailed = !log.Append(request, report);
  // The result stays in the file line until the next run, with what the person should know:
  // server times ahead of the clock, and (once per program run: a message box would hold up
  // the schedule, and every later run would fail the same way) a log that cannot be written.
  std::string shown = ResultLine(report);
  if (report.serverAhead) shown += std::string("　") + kServerAheadText;
  if (report.logFailed && !ctx.state.m_runLogFailureTold) {
    ctx.state.m_runLogFailureTold = true;
    shown += std::string("　") + kRunLogFailedText;
  }
  ctx.status.SetFileLine(shown);
  ctx.state.m_lastResult = shown;
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
  std::optional<std::string> list = SelectedList(ctx);
  if (!list) return std::nullopt;
  request.listName = *list;
  return RunList(ctx, std::move(request), options, method);
}

std::optional<UploadPreview> PreviewFromButton(MainContext& ctx, FtpOptions options,
                                               UploadMethod method) {
  // The menu stays open to a run in progress, which the preview would disturb.
  if (RefuseWhileBusy(ctx)) return std::nullopt;
  WindowBusy busy(ctx);
  UploadRequest request;
  request.origin = RunOrigin::Button;
  request.mode = ModeFor(ctx.view.CtrlDown(), ctx.view.ShiftDown(), ctx.settings);
  request.preview = true;
  std::optional<std::string> list = SelectedList(ctx);
  if (!list) return std::nullopt;
  request.listName = *list;
  if (!ReadEntries(ctx, request)) return std::nullopt;
  UploadReport report = UploadRun(ctx, options, method).Execute(request);
  // Nothing was done: what the last run did comes back into view.
  ctx.status.SetFileLine(ctx.state.m_lastResult);
  if (!report.connected) return std::nullopt;  // the failure has been shown
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
  return RunList(ctx, std::move(request), options, UploadMethod::Listed);
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
  return RunList(ctx, std::move(request), options, UploadMethod::Listed);
}

}  // namespace tolvane
