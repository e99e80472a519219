#include "upload/UploadRun.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <set>

#include "ftp/FtpClient.h"
#include "lists/ListStore.h"
#include "platform/LineFile.h"
#include "platform/LocalTime.h"
#include "settings/AppSettings.h"
#include "settings/AsciiModeTable.h"
#include "upload/FailureTexts.h"
#include "upload/ListedFolders.h"
#include "upload/PerFileFolders.h"
#include "upload/PreviewFolders.h"
#include "upload/SafeUploader.h"
#include "upload/ServerClockConvention.h"
#include "upload/ServerLogin.h"
#include "window/MainState.h"
#include "window/StatusTexts.h"

namespace tolvane {
namespace {

constexpr const char* kStamp = "%Y%m%d%H%M";
// Server times this far ahead of the corrected local clock mean the correction is wrong.
constexpr int64_t kServerAheadSeconds = 600;

bool IsLeapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

std::string Numbered(size_t number, const char* text) { return std::to_string(number) + text; }

// Every entry's folder, in list order.
std::vector<std::string> EntryFolders(const std::vector<UploadEntry>& entries) {
  std::vector<std::string> folders;
  for (const UploadEntry& entry : entries) folders.push_back(entry.remoteFolder);
  return folders;
}

// The names every entry puts on the server.
std::set<std::string> EntryNames(const std::vector<UploadEntry>& entries) {
  std::set<std::string> names;
  for (const UploadEntry& entry : entries) names.insert(DisplayName(entry.localPath));
  return names;
}

// The local file's modification time, or nullopt when there is no such file.
std::optional<int64_t> LocalFileTime(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<int64_t>(st.st_mtime);
}

}  // namespace

int64_t ComparedServerTime(int64_t remoteTime, bool remoteYearShown, int64_t now,
                           int32_t stimeMinutes) {
  int64_t remote = remoteTime;
  if (stimeMinutes != 0) remote += static_cast<int64_t>(stimeMinutes) * 60;
  LocalDate n = LocalDateOf(now);
  LocalDate r = LocalDateOf(remote);
  // A year the server gave is right even when it is exactly last year: a real year-old copy
  // moved forward would hide a newer local file.
  if (!remoteYearShown && n.year == r.year + 1 && n.month == r.month && n.day == r.day) {
    remote += (IsLeapYear(r.year) && r.month <= 2) ? 31622400 : 31536000;
  }
  return remote - kServerClockShift;
}

bool LocalIsNewer(int64_t localTime, int64_t comparedServerTime, UploadMode mode) {
  std::string local = FormatLocal(localTime, kStamp);
  std::string server = FormatLocal(comparedServerTime, kStamp);
  return mode == UploadMode::Newer ? local > server : local >= server;
}

bool ShouldUpload(int64_t localTime, int64_t remoteTime, bool remoteYearShown, int64_t now,
                  int32_t stimeMinutes, UploadMode mode) {
  return LocalIsNewer(localTime, ComparedServerTime(remoteTime, remoteYearShown, now, stimeMinutes),
                      mode);
}

UploadRun::UploadRun(MainContext& ctx, FtpOptions options, UploadMethod method)
    : m_ctx(ctx), m_options(std::move(options)), m_method(method) {
  if (!m_options.pump) m_options.pump = [this] { m_ctx.clock.Pump(); };
  if (!m_options.clock) m_options.clock = &m_ctx.clock;
  // The program is being ended (logout, power-off): the transfer in progress is broken off
  // and cleaned up rather than left half-written.
  if (!m_options.cancelled) m_options.cancelled = [this] { return m_ctx.state.m_terminating; };
}

UploadReport UploadRun::Execute(const UploadRequest& request) {
  m_previewing = request.preview;
  UploadReport report;
  report.startedAt = m_ctx.clock.Now();
  report.outcomes.resize(request.entries.size());
  m_ctx.status.SetStatus("サーバーに接続しています...");
  FtpClient ftp(m_options);
  // Only someone who pressed the button is there to answer a question about a certificate.
  const CertificatePrompt prompt =
      request.origin == RunOrigin::Button ? CertificatePrompt::MayAsk : CertificatePrompt::NeverAsk;
  std::optional<std::string> failure = ConnectWithSettings(ftp, m_ctx, prompt);
  report.connected = !failure;
  if (failure) {
    report.connectFailure = *failure;
    ShowIdle();
  } else {
    UploadEntries(request, ftp, report);
    // The warning stays in view after the run; the status line goes back to the clock.
    m_ctx.status.SetFileLine("");
    report.serverAhead = m_serverAheadTold;
    m_ctx.status.SetStatus("切断しています...");
    ftp.Close();
    m_ctx.status.SetStatus("完了しました");
    Pause();
    ShowIdle();
  }
  report.endedAt = m_ctx.clock.Now();
  return report;
}

void UploadRun::UploadEntries(const UploadRequest& request, FtpClient& ftp, UploadReport& report) {
  const int64_t now = m_ctx.clock.Now() + kServerClockShift;
  SafeUploader uploader(ftp, m_ctx.settings.temporaryNames != 0, EntryNames(request.entries));
  std::unique_ptr<RemoteFolders> folders;
  if (m_method == UploadMethod::PerFile) {
    folders = std::make_unique<PerFileFolders>(ftp, uploader);
  } else {
    folders = std::make_unique<ListedFolders>(ftp, uploader, EntryFolders(request.entries));
  }
  std::unique_ptr<PreviewFolders> preview;
  if (m_previewing) {
    preview = std::make_unique<PreviewFolders>(*folders, m_ctx.clock,
                                               m_ctx.settings.clockCorrectionMinutes);
  }
  m_previewFolders = preview.get();
  RemoteFolders& used = preview ? *preview : *folders;
  m_serverAheadTold = false;
  // Entries are numbered from 1 in the status line, as 16-bit numbers.
  for (size_t i = 0; i < request.entries.size(); ++i) {
    // Ending the program during a run stops it at the next entry.
    if (m_ctx.state.m_closing || m_ctx.state.m_terminating) break;
    const uint16_t number = static_cast<uint16_t>(i + 1);
    if (request.mode != UploadMode::Unchecked) {
      m_ctx.status.SetStatus(Numbered(number, "番目 更新確認中..."));
      m_ctx.status.SetFileLine("");
    }
    UploadEntry entry{ResolveListPath(m_ctx.settings, request.entries[i].localPath),
                      request.entries[i].remoteFolder};
    const bool goOn = RunEntry(request.mode, number, entry, now, used, ftp, report.outcomes[i]);
    if (m_entryDone) m_entryDone(i, report.outcomes[i]);
    if (!goOn) break;
    m_ctx.clock.Pump();
  }
  m_previewFolders = nullptr;
}

bool UploadRun::RunEntry(UploadMode mode, size_t number, const UploadEntry& entry, int64_t now,
                         RemoteFolders& folders, FtpClient& ftp, EntryOutcome& outcome) {
  using Kind = EntryOutcome::Kind;
  if (!Decide(mode, number, entry, now, folders, ftp, outcome)) return false;
  if (outcome.kind != Kind::WouldUpload) return true;
  const std::string& localPath = entry.localPath;
  const std::string remoteName = DisplayName(localPath);
  TransferType type = TransferTypeFor(localPath, m_ctx.state.m_asciiExts);
  outcome.type = type;
  if (m_previewFolders) {
    folders.Put(localPath, remoteName, type);  // only noted, for the entries after this one
    return true;
  }
  m_ctx.status.SetStatus(Numbered(number, "番目 アップロード中..."));
  m_ctx.status.SetFileLine(remoteName);
  const auto putStarted = std::chrono::steady_clock::now();
  std::optional<std::string> error = folders.Put(localPath, remoteName, type);
  outcome.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - putStarted)
                             .count();
  std::error_code sizeError;
  outcome.bytes = std::filesystem::file_size(localPath, sizeError);
  if (sizeError) outcome.bytes = 0;
  if (error) {
    outcome.kind = Kind::Failed;
    outcome.detail = *error;
    if (m_ctx.state.m_terminating) return false;  // the program is ending: no message box
    m_ctx.prompts.Failure(outcome.detail);
    // Without a connection every later entry would fail the same way, each with its own
    // message box: one message is enough.
    return ftp.IsConnected();
  }
  outcome.kind = Kind::Uploaded;
  return true;
}

bool UploadRun::Decide(UploadMode mode, size_t number, const UploadEntry& entry, int64_t now,
                       RemoteFolders& folders, FtpClient& ftp, EntryOutcome& outcome) {
  using Kind = EntryOutcome::Kind;
  using Reason = EntryOutcome::Reason;
  outcome.localTime = LocalFileTime(entry.localPath);
  if (!outcome.localTime) {
    outcome.kind = Kind::LocalMissing;
    ShowNotChecked(number);
    return true;
  }
  folders.Enter(m_ctx.settings.serverfolder, entry.remoteFolder);
  outcome.kind = Kind::WouldUpload;
  if (mode == UploadMode::Unchecked) {
    outcome.reason = Reason::UncheckedMode;
    return true;
  }
  RemoteLookup remote = folders.Find(DisplayName(entry.localPath));
  outcome.serverCopyFromEarlierEntry = m_previewFolders && m_previewFolders->FoundAPut();
  switch (remote.kind) {
    case RemoteLookup::Kind::Missing:
      outcome.reason = Reason::NotOnServer;
      return true;
    case RemoteLookup::Kind::Found: {
      const int64_t remoteTime = ServerWallClock(remote);
      NoticeServerAhead(remoteTime);
      outcome.reason = Reason::Compared;
      outcome.serverTime = ComparedServerTime(remoteTime, remote.yearShown, now,
                                              m_ctx.settings.clockCorrectionMinutes);
      if (!LocalIsNewer(*outcome.localTime, *outcome.serverTime, mode)) {
        outcome.kind = Kind::UpToDate;
      }
      return true;
    }
    case RemoteLookup::Kind::Unknown:
      break;
  }
  // Nothing may be assumed about a file the server would not tell about: putting it could
  // replace a newer copy.
  outcome.kind = Kind::Unchecked;
  if (!ftp.IsConnected()) {
    outcome.detail = FailureText(ftp.LastFailure());
    if (!m_ctx.state.m_terminating) m_ctx.prompts.Failure(outcome.detail);
    return false;
  }
  outcome.detail = ftp.LookUpRefusal();
  ShowNotChecked(number);
  return true;
}

void UploadRun::ShowNotChecked(size_t number) {
  m_ctx.status.SetStatus(Numbered(number, "番目 更新確認できませんでした"));
  Pause();
}

void UploadRun::Pause() {
  // A run leaves each step in view for a moment; a preview shows them all in its dialog.
  if (!m_previewing) m_ctx.clock.SleepMs(1000);
}

void UploadRun::NoticeServerAhead(int64_t remoteTime) {
  if (m_serverAheadTold) return;
  int64_t serverUtc = remoteTime +
                      static_cast<int64_t>(m_ctx.settings.clockCorrectionMinutes) * 60 -
                      kServerClockShift;
  if (serverUtc <= m_ctx.clock.Now() + kServerAheadSeconds) return;
  m_serverAheadTold = true;
  m_ctx.status.SetStatus(kServerAheadText);
}

void UploadRun::ShowIdle() { m_ctx.status.SetStatus(IdleText(m_ctx.settings, m_ctx.state)); }

}  // namespace tolvane
