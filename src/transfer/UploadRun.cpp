#include "transfer/UploadRun.h"

#include <sys/stat.h>

#include <memory>
#include <set>

#include "app/AppSettings.h"
#include "app/MainState.h"
#include "app/StatusTexts.h"
#include "lists/ListStore.h"
#include "platform/LineFile.h"
#include "platform/LocalTime.h"
#include "transfer/AsciiModeTable.h"
#include "transfer/FailureTexts.h"
#include "transfer/FtpClient.h"
#include "transfer/ListedFolders.h"
#include "transfer/PerFileFolders.h"
#include "transfer/SafeUploader.h"
#include "transfer/ServerClockConvention.h"
#include "transfer/ServerLogin.h"

namespace tolvane {
namespace {

constexpr const char* kStamp = "%Y%m%d%H%M";
// Server times this far ahead of the corrected local clock mean the correction is wrong.
constexpr int64_t kServerAheadSeconds = 600;

bool IsLeapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

std::string Numbered(unsigned number, const char* text) { return std::to_string(number) + text; }

// Every entry's folder line, in list order.
std::vector<std::string> EntryFolders(const std::vector<std::string>& lines) {
  std::vector<std::string> folders;
  for (size_t i = 1; i < lines.size(); i += 2) folders.push_back(lines[i]);
  return folders;
}

// The names every entry puts on the server.
std::set<std::string> EntryNames(const std::vector<std::string>& lines) {
  std::set<std::string> names;
  for (size_t i = 0; i + 1 < lines.size(); i += 2) names.insert(DisplayName(lines[i]));
  return names;
}

// The local file's modification time, or nullopt when there is no such file.
std::optional<int64_t> LocalFileTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<int64_t>(st.st_mtime);
}

}  // namespace

bool ShouldUpload(int64_t localTime, int64_t remoteTime, int64_t now, int32_t stimeMinutes,
                  UploadMode mode) {
  int64_t remote = remoteTime;
  if (stimeMinutes != 0) remote += static_cast<int64_t>(stimeMinutes) * 60;
  LocalDate n = LocalDateOf(now);
  LocalDate r = LocalDateOf(remote);
  if (n.year == r.year + 1 && n.month == r.month && n.day == r.day) {
    remote += (IsLeapYear(r.year) && r.month <= 2) ? 31622400 : 31536000;
  }
  remote -= kServerClockShift;
  std::string local = FormatLocal(localTime, kStamp);
  std::string server = FormatLocal(remote, kStamp);
  return mode == UploadMode::Newer ? local > server : local >= server;
}

UploadRun::UploadRun(MainContext& ctx, FtpOptions options, UploadMethod method)
    : ctx_(ctx), options_(std::move(options)), method_(method) {
  if (!options_.pump) options_.pump = [this] { ctx_.clock.Pump(); };
  if (!options_.clock) options_.clock = &ctx_.clock;
  // The program is being ended (logout, power-off): the transfer in progress is broken off
  // and cleaned up rather than left half-written.
  if (!options_.cancelled) options_.cancelled = [this] { return ctx_.state.m_terminating; };
}

void UploadRun::OnUpload() {
  MainState& state = ctx_.state;
  if (state.m_busy) return;
  state.m_busy = true;
  ctx_.view.SetUploadEnabled(false);

  UploadMode mode = PickMode();
  std::optional<std::string> name = PickListName();
  if (name) {
    std::optional<std::vector<std::string>> lines = ReadListLines(ctx_.settings, *name);
    if (!lines) {
      ctx_.prompts.Error("\"" + *name + "\"リストを読み込めませんでした");
    } else {
      ctx_.status.SetStatus("サーバーに接続しています...");
      FtpClient ftp(options_);
      if (ConnectWithSettings(ftp, ctx_)) {
        Connected(mode, *lines, ftp);
      } else {
        ShowIdle();
      }
    }
  }
  ctx_.view.SetUploadEnabled(true);
  state.m_busy = false;
}

UploadMode UploadRun::PickMode() const {
  UploadMode mode = UploadMode::Newer;
  if (ctx_.state.m_timerIndex == -1) {
    if (ctx_.view.CtrlDown()) mode = UploadMode::NewerOrSame;
    if (ctx_.view.ShiftDown()) mode = UploadMode::Unchecked;
  }
  // The settings come after the keys, so they win.
  if (AppSettings::IsOn(ctx_.settings.ctrl)) mode = UploadMode::NewerOrSame;
  if (AppSettings::IsOn(ctx_.settings.shift)) mode = UploadMode::Unchecked;
  return mode;
}

std::optional<std::string> UploadRun::PickListName() {
  int timerIndex = ctx_.state.m_timerIndex;
  if (timerIndex == -1) {
    int selected = ctx_.view.ListSelection();
    if (selected < 0) {
      ctx_.prompts.Error("リストが選択されていません");
      return std::nullopt;
    }
    return ctx_.view.ListName(selected);
  }
  if (AppSettings::IsOn(ctx_.settings.zenmen)) ctx_.view.BringToFront();
  size_t at = 2 * static_cast<size_t>(timerIndex) + 1;
  const std::vector<std::string>& today = ctx_.state.m_todayEntries;
  // An index past the day selection names no list; its (empty) file cannot be read.
  return timerIndex >= 0 && at < today.size() ? today[at] : std::string();
}

void UploadRun::Connected(UploadMode mode, const std::vector<std::string>& lines, FtpClient& ftp) {
  UploadEntries(mode, lines, ftp);
  // The warning stays in view after the run; the status line goes back to the clock.
  ctx_.status.SetFileLine(serverAheadTold_ ? kServerAheadText : "");
  ctx_.status.SetStatus("切断しています...");
  ftp.Close();
  ctx_.status.SetStatus("完了しました");
  ctx_.clock.SleepMs(1000);
  ShowIdle();
}

void UploadRun::UploadEntries(UploadMode mode, const std::vector<std::string>& lines,
                              FtpClient& ftp) {
  const int64_t now = ctx_.clock.Now() + kServerClockShift;
  SafeUploader uploader(ftp, ctx_.settings.tempname != 0, EntryNames(lines));
  std::unique_ptr<RemoteFolders> folders;
  if (method_ == UploadMethod::PerFile) {
    folders = std::make_unique<PerFileFolders>(ftp, uploader);
  } else {
    folders = std::make_unique<ListedFolders>(ftp, uploader, EntryFolders(lines));
  }
  serverAheadTold_ = false;
  uint16_t entry = 0;
  std::string localPath;
  for (size_t i = 0; i < lines.size(); ++i) {
    // Ending the program during a run stops it at the next entry.
    if (ctx_.state.m_closing || ctx_.state.m_terminating) break;
    if (i % 2 == 0) {
      if (mode != UploadMode::Unchecked) {
        ctx_.status.SetStatus(Numbered(entry + 1u, "番目 更新確認中..."));
        ctx_.status.SetFileLine("");
      }
      localPath = ResolveListPath(ctx_.settings, lines[i]);
    } else {
      ++entry;
      if (!UploadEntry(mode, entry, localPath, lines[i], now, *folders, ftp)) break;
    }
    ctx_.clock.Pump();
  }
}

bool UploadRun::UploadEntry(UploadMode mode, uint16_t entry, const std::string& localPath,
                            const std::string& folder, int64_t now, RemoteFolders& folders,
                            FtpClient& ftp) {
  const std::string remoteName = DisplayName(localPath);
  std::optional<int64_t> localTime = LocalFileTime(localPath);
  if (!localTime) {
    ctx_.status.SetStatus(Numbered(entry, "番目 更新確認できませんでした"));
    ctx_.clock.SleepMs(1000);
    return true;
  }
  folders.Enter(ctx_.settings.serverfolder, folder);
  if (mode != UploadMode::Unchecked) {
    RemoteLookup remote = folders.Find(remoteName);
    if (remote.kind == RemoteLookup::Kind::Unknown) {
      // Nothing may be assumed about a file the server would not tell about: putting it
      // could replace a newer copy.
      if (!ftp.IsConnected()) {
        if (!ctx_.state.m_terminating) ctx_.prompts.Failure(FailureText(ftp.LastFailure()));
        return false;
      }
      ctx_.status.SetStatus(Numbered(entry, "番目 更新確認できませんでした"));
      ctx_.clock.SleepMs(1000);
      return true;
    }
    if (remote.kind == RemoteLookup::Kind::Found) {
      const int64_t remoteTime = ServerWallClock(remote);
      NoticeServerAhead(remoteTime);
      if (!ShouldUpload(*localTime, remoteTime, now, ctx_.settings.stime, mode)) return true;
    }
  }
  ctx_.status.SetStatus(Numbered(entry, "番目 アップロード中..."));
  ctx_.status.SetFileLine(remoteName);
  TransferType type = TransferTypeFor(localPath, ctx_.state.m_asciiExts);
  if (std::optional<std::string> error = folders.Put(localPath, remoteName, type)) {
    if (ctx_.state.m_terminating) return false;  // the program is ending: no message box
    ctx_.prompts.Failure(*error);
    // Without a connection every later entry would fail the same way, each with its own
    // message box: one message is enough.
    return ftp.IsConnected();
  }
  return true;
}

void UploadRun::NoticeServerAhead(int64_t remoteTime) {
  if (serverAheadTold_) return;
  int64_t serverUtc =
      remoteTime + static_cast<int64_t>(ctx_.settings.stime) * 60 - kServerClockShift;
  if (serverUtc <= ctx_.clock.Now() + kServerAheadSeconds) return;
  serverAheadTold_ = true;
  ctx_.status.SetStatus(kServerAheadText);
}

void UploadRun::ShowIdle() { ctx_.status.SetStatus(IdleText(ctx_.settings, ctx_.state)); }

}  // namespace tolvane
