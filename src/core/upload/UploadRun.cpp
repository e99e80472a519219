#include "upload/UploadRun.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <set>

#include "ftp/FtpClient.h"
#include "ftp/FtpFolderListing.h"
#include "lists/ListStore.h"
#include "platform/LineFile.h"
#include "platform/LocalTime.h"
#include "settings/AppSettings.h"
#include "settings/AsciiModeTable.h"
#include "upload/DirectoryTracker.h"
#include "upload/FailureTexts.h"
#include "upload/FolderPrefetch.h"
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
// Entries decided ahead of the first one not yet shown (its put still under way), at most.
constexpr size_t kDecidedAhead = 64;
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
std::vector<std::string> EntryNames(const std::vector<UploadEntry>& entries) {
  std::vector<std::string> names;
  names.reserve(entries.size());
  for (const UploadEntry& entry : entries) names.push_back(DisplayName(entry.localPath));
  return names;
}

uint64_t FileBytes(const std::string& path) {
  std::error_code error;
  uint64_t bytes = std::filesystem::file_size(path, error);
  return error ? 0 : bytes;
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

struct UploadRun::PutResult {
  std::optional<std::string> error;
  int64_t milliseconds = 0;
  uint64_t bytes = 0;
  bool connected = true;  // the connection that made the put is still open
};

void UploadRun::UploadEntries(const UploadRequest& request, FtpClient& ftp, UploadReport& report) {
  const int64_t now = m_ctx.clock.Now() + kServerClockShift;
  auto shared = std::make_shared<SharedUploads>(EntryNames(request.entries));
  SafeUploader uploader(ftp, m_ctx.settings.temporaryNames != 0, shared);
  std::unique_ptr<RemoteFolders> folders;
  std::unique_ptr<ConnectionPool> pool;
  std::unique_ptr<FolderPrefetch> prefetch;
  if (m_method == UploadMethod::PerFile) {
    folders = std::make_unique<PerFileFolders>(ftp, uploader);
  } else {
    auto listed = std::make_unique<ListedFolders>(
        ftp, uploader, EntryFolders(request.entries), [&](const std::string& path) {
          return prefetch ? prefetch->ListingOf(path, ftp) : ftp.ListFolder(path);
        });
    m_listed = listed.get();
    pool = MakePool(ftp, *listed, uploader, request);
    if (pool) listed->PutsRunElsewhere();
    folders = std::move(listed);
  }
  m_pool = pool.get();
  if (pool && request.mode != UploadMode::Unchecked) {
    const size_t ahead = 4 * static_cast<size_t>(m_ctx.settings.connections);
    prefetch = std::make_unique<FolderPrefetch>(*pool, FoldersToList(request, ftp), ahead,
                                                [this] { Waiting(); });
  }
  std::unique_ptr<PreviewFolders> preview;
  if (m_previewing) {
    preview = std::make_unique<PreviewFolders>(*folders, m_ctx.clock,
                                               m_ctx.settings.clockCorrectionMinutes);
  }
  m_previewFolders = preview.get();
  RemoteFolders& used = preview ? *preview : *folders;
  m_serverAheadTold = false;
  m_stopped = false;
  // Entries are numbered from 1 in the status line, as 16-bit numbers.
  for (size_t i = 0; i < request.entries.size(); ++i) {
    // Ending the program during a run stops it at the next entry.
    if (m_ctx.state.m_closing || m_ctx.state.m_terminating) break;
    const uint16_t number = static_cast<uint16_t>(i + 1);
    UploadEntry entry{ResolveListPath(m_ctx.settings, request.entries[i].localPath),
                      request.entries[i].remoteFolder};
    AwaitPutOf(DisplayName(entry.localPath));
    m_pending.push_back(Pending{i, {}, true, nullptr, nullptr});
    if (request.mode != UploadMode::Unchecked) {
      Show(Shown::Kind::Status, Numbered(number, "番目 更新確認中..."));
      Show(Shown::Kind::FileLine, "");
    }
    m_pending.back().goOn =
        RunEntry(request.mode, number, entry, now, used, ftp, report.outcomes[i]);
    const bool goOn = m_pending.back().goOn;
    ShowFinished(report, ftp, !goOn);
    if (!goOn || m_stopped) break;
    // The entries decided ahead of those shown stay few, whatever the length of the list.
    if (m_pending.size() > kDecidedAhead && m_pending.front().put) {
      m_pool->Wait(m_pending.front().put, [this] { Waiting(); });
    }
    m_ctx.clock.Pump();
  }
  // What the others still do is finished (or, when the program is ending, broken off).
  if (m_pool && (m_ctx.state.m_closing || m_ctx.state.m_terminating || m_stopped)) {
    m_pool->DropQueued();
  }
  ShowFinished(report, ftp, true);
  prefetch.reset();
  pool.reset();
  m_pool = nullptr;
  m_listed = nullptr;
  m_putsByName.clear();
  m_previewFolders = nullptr;
}

std::unique_ptr<ConnectionPool> UploadRun::MakePool(FtpClient& ftp, ListedFolders& listed,
                                                    SafeUploader& uploader,
                                                    const UploadRequest& request) {
  const int connections = std::clamp(m_ctx.settings.connections, 1, kMaxConnections);
  if (connections <= 1 || request.entries.size() < 2) return nullptr;
  // A preview puts nothing: the extra connections only list, and only where there is a check.
  if (request.preview && request.mode == UploadMode::Unchecked) return nullptr;
  const AppSettings settings = m_ctx.settings;
  const bool temporaryNames = settings.temporaryNames != 0;
  std::shared_ptr<SharedUploads> shared = uploader.Shared();
  FtpOptions options = m_options;
  auto pool = std::make_unique<ConnectionPool>(
      PoolConnection{ftp, listed.Directories(), uploader}, connections - 1, options,
      [settings](FtpClient& client) { return ConnectToServer(client, settings).Succeeded(); },
      [temporaryNames, shared](FtpClient& client) {
        return std::make_unique<SafeUploader>(client, temporaryNames, shared);
      });
  pool->SetNow(m_ctx.clock.Now());
  return pool;
}

std::vector<std::string> UploadRun::FoldersToList(const UploadRequest& request,
                                                  FtpClient& ftp) const {
  std::map<std::string, int> entries;
  for (const UploadEntry& entry : request.entries) ++entries[entry.remoteFolder];
  const FolderListingWay way = ftp.ListingWay();
  DirectoryTracker start(ftp);  // asks nothing: only foresees
  std::set<std::string> seen;
  std::vector<std::string> paths;
  for (const UploadEntry& entry : request.entries) {
    auto count = entries.find(entry.remoteFolder);
    if (count == entries.end()) continue;
    const bool worth = ListedFolders::WorthAListing(way, count->second);
    entries.erase(count);  // each folder line once
    if (!worth) continue;
    std::optional<DirectoryTracker::Place> place =
        start.Foreseen(ListedFolders::ChangesOf(m_ctx.settings.serverfolder, entry.remoteFolder));
    std::optional<std::string> path = place ? DirectoryTracker::PathOf(*place) : std::nullopt;
    if (path && seen.insert(*path).second) paths.push_back(*path);
  }
  return paths;
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
  Show(Shown::Kind::Status, Numbered(number, "番目 アップロード中..."));
  Show(Shown::Kind::FileLine, remoteName);
  if (m_pool) {
    DispatchPut(localPath, remoteName, type);
    return true;
  }
  const PutResult result =
      TimedPut(localPath, ftp, [&] { return folders.Put(localPath, remoteName, type); });
  return TakePutResult(result, outcome, m_pending.back().shown, ftp);
}

void UploadRun::DispatchPut(const std::string& localPath, const std::string& remoteName,
                            TransferType type) {
  ListedFolders::PutPlace place = m_listed->PreparePut(remoteName);
  auto result = std::make_shared<PutResult>();
  auto put = m_pool->Submit([place, localPath, remoteName, type, result](PoolConnection& on) {
    *result = TimedPut(localPath, on.ftp, [&]() -> std::optional<std::string> {
      if (!on.directories.GoTo(place.place)) return std::string(kFolderUnreachable);
      return on.uploader.Put(place.folderKey, localPath, remoteName, type,
                             place.listedTemporaryNames);
    });
  });
  m_pending.back().put = put;
  m_pending.back().result = result;
  m_putsByName[LooseName(remoteName)] = put;
}

void UploadRun::AwaitPutOf(const std::string& remoteName) {
  if (!m_pool) return;
  auto put = m_putsByName.find(LooseName(remoteName));
  if (put == m_putsByName.end()) return;
  m_pool->Wait(put->second, [this] { Waiting(); });
  m_putsByName.erase(put);
}

void UploadRun::ShowFinished(UploadReport& report, FtpClient& ftp, bool all) {
  while (!m_pending.empty()) {
    Pending& pending = m_pending.front();
    EntryOutcome& outcome = report.outcomes[pending.index];
    if (pending.put) {
      if (!all && !m_pool->Done(pending.put)) return;
      m_pool->Wait(pending.put, [this] { Waiting(); });
      FinishPut(pending, outcome, ftp);
    }
    if (!m_stopped) {
      for (const Shown& shown : pending.shown) ShowNow(shown);
      if (m_entryDone && outcome.kind != EntryOutcome::Kind::NotReached) {
        m_entryDone(pending.index, outcome);
      }
      m_stopped = !pending.goOn;
    }
    m_pending.pop_front();
  }
}

void UploadRun::FinishPut(Pending& pending, EntryOutcome& outcome, FtpClient& ftp) {
  if (!ConnectionPool::Ran(*pending.put)) {
    outcome = EntryOutcome{};  // the run ended before this put began
    pending.goOn = false;
    return;
  }
  pending.goOn = TakePutResult(*pending.result, outcome, pending.shown, ftp);
}

UploadRun::PutResult UploadRun::TimedPut(const std::string& localPath, FtpClient& on,
                                         const std::function<std::optional<std::string>()>& put) {
  const auto started = std::chrono::steady_clock::now();
  PutResult result;
  result.error = put();
  result.milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
  result.connected = on.IsConnected();
  result.bytes = FileBytes(localPath);
  return result;
}

bool UploadRun::TakePutResult(const PutResult& result, EntryOutcome& outcome,
                              std::vector<Shown>& shown, FtpClient& ftp) {
  using Kind = EntryOutcome::Kind;
  outcome.milliseconds = result.milliseconds;
  outcome.bytes = result.bytes;
  if (!result.error) {
    outcome.kind = Kind::Uploaded;
    return true;
  }
  outcome.kind = Kind::Failed;
  outcome.detail = *result.error;
  if (m_ctx.state.m_terminating) return false;  // the program is ending: no message box
  shown.push_back({Shown::Kind::Failure, outcome.detail});
  // Without a connection every later entry would likely fail the same way, each with its own
  // message box: one message is enough.
  return result.connected && ftp.IsConnected();
}

void UploadRun::Waiting() {
  if (m_options.pump) m_options.pump();
  m_pool->SetNow(m_ctx.clock.Now());
  if (m_options.cancelled && m_options.cancelled()) m_pool->Cancel();
}

void UploadRun::Show(Shown::Kind kind, const std::string& text) {
  if (m_pending.empty()) {
    ShowNow({kind, text});
  } else {
    m_pending.back().shown.push_back({kind, text});
  }
}

void UploadRun::ShowNow(const Shown& shown) {
  switch (shown.kind) {
    case Shown::Kind::Status:
      m_ctx.status.SetStatus(shown.text);
      break;
    case Shown::Kind::FileLine:
      m_ctx.status.SetFileLine(shown.text);
      break;
    case Shown::Kind::Failure:
      m_ctx.prompts.Failure(shown.text);
      break;
    case Shown::Kind::Pause:
      Pause();
      break;
  }
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
    if (!m_ctx.state.m_terminating) Show(Shown::Kind::Failure, outcome.detail);
    return false;
  }
  outcome.detail = ftp.LookUpRefusal();
  ShowNotChecked(number);
  return true;
}

void UploadRun::ShowNotChecked(size_t number) {
  Show(Shown::Kind::Status, Numbered(number, "番目 更新確認できませんでした"));
  Show(Shown::Kind::Pause, "");
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
  Show(Shown::Kind::Status, kServerAheadText);
}

void UploadRun::ShowIdle() { m_ctx.status.SetStatus(IdleText(m_ctx.settings, m_ctx.state)); }

}  // namespace tolvane
