#include "upload/RunLog.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/LocalTime.h"
#include "upload/FailureTexts.h"
#include "upload/PreviewText.h"

namespace tolvane {
namespace {

constexpr const char* kFolderName = "log";
// The record names local files and the server: only the owner may read it.
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

const char* OriginText(RunOrigin origin) {
  switch (origin) {
    case RunOrigin::Button:
      return "ボタン";
    case RunOrigin::Schedule:
      return "予約";
    case RunOrigin::CommandLine:
      return "コマンドライン";
  }
  return "";
}

const char* TypeText(TransferType type) {
  return type == TransferType::Ascii ? "ASCII" : "バイナリ";
}

std::string TransferResultText(const FtpResult& result) {
  if (result.Succeeded()) return "完了";
  return "失敗 " + FailureText(result);
}

bool MakeFolder(const std::string& folder) {
  return ::mkdir(folder.c_str(), kFolderMode) == 0 || errno == EEXIST;
}

}  // namespace

// Appends to the month's file without waiting: a FIFO or device put in the log's place is
// refused, and so is a full disk, rather than holding the run. A long list's record goes out
// in pieces, so it never has to be whole in memory; the file is locked meanwhile so that a
// record written at the same moment by another copy of the program is not woven into it.
class LogAppender {
 public:
  explicit LogAppender(const std::string& path)
      : m_fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC,
                    kFileMode)) {
    struct stat st {};
    m_ok = m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISREG(st.st_mode);
  }
  ~LogAppender() {
    if (m_fd >= 0) ::close(m_fd);
  }
  LogAppender(const LogAppender&) = delete;
  LogAppender& operator=(const LogAppender&) = delete;

  void Add(std::string_view text) {
    if (!m_ok) return;  // nothing more can be written: nothing more is kept
    m_pending.append(text);
    if (m_pending.size() >= kPieceBytes) Flush();
  }

  bool Finish() {
    Flush();
    return m_ok;
  }

 private:
  static constexpr size_t kPieceBytes = 64 * 1024;
  static constexpr int kLockTries = 100;  // 10 ms apart: a second at most, then write anyway

  void Flush() {
    if (!m_ok || m_pending.empty()) return;
    if (!m_locked) LockBriefly();
    size_t written = 0;
    while (m_ok && written < m_pending.size()) {
      const ssize_t n = ::write(m_fd, m_pending.data() + written, m_pending.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        m_ok = false;
      } else {
        written += static_cast<size_t>(n);
      }
    }
    m_pending.clear();
  }

  // Another writer holds the lock only for the length of its record; one that never lets
  // go does not hold this run up.
  void LockBriefly() {
    m_locked = true;
    for (int i = 0; i < kLockTries; ++i) {
      if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
      ::usleep(10 * 1000);
    }
  }

  int m_fd;
  bool m_ok = false;
  bool m_locked = false;
  std::string m_pending;
};

std::string EntryLogText(const UploadEntry& entry, const EntryOutcome& outcome) {
  using Kind = EntryOutcome::Kind;
  std::string target = entry.localPath;
  if (!entry.remoteFolder.empty()) target += " → " + entry.remoteFolder;
  switch (outcome.kind) {
    case Kind::Uploaded:
      return "アップロード: " + target + "（" + std::to_string(outcome.bytes) + "バイト・" +
             TypeText(outcome.type) + "・" + std::to_string(outcome.milliseconds) + "ミリ秒）";
    case Kind::UpToDate:
      return "最新: " + target;
    case Kind::LocalMissing:
      return "ローカルファイルなし: " + target;
    case Kind::Unchecked:
      return "確認できず: " + target + (outcome.detail.empty() ? "" : "（" + outcome.detail + "）");
    case Kind::Failed:
      return "失敗: " + target + "（" + outcome.detail + "）";
    case Kind::WouldUpload:
      return "アップロードする: " + target;
    case Kind::NotReached:
      break;
  }
  return "未実行: " + target;
}

std::string TotalsLogText(const UploadReport& report) {
  using Kind = EntryOutcome::Kind;
  auto part = [&report](const char* label, Kind kind) {
    return std::string(label) + " " + std::to_string(report.Count(kind));
  };
  return "合計: " + part("アップロード", Kind::Uploaded) + "・" + part("最新", Kind::UpToDate) +
         "・" + part("ローカルファイルなし", Kind::LocalMissing) + "・" +
         part("確認できず", Kind::Unchecked) + "・" + part("失敗", Kind::Failed) + "・" +
         part("未実行", Kind::NotReached);
}

std::string DurationLogText(const UploadReport& report) {
  return "所要時間: " + std::to_string(report.endedAt - report.startedAt) + "秒（" +
         FormatLocal(report.endedAt, "%H:%M:%S") + " 終了）";
}

void WriteRunLogRecord(const UploadRequest& request, const UploadReport& report,
                       const std::string& host, const std::vector<std::string>& conversation,
                       const std::function<void(std::string_view)>& out) {
  out("=== " + FormatLocal(report.startedAt, "%Y-%m-%d %H:%M:%S") + " " +
      OriginText(request.origin) + "\n");
  out("リスト: " + request.listName + "\n");
  out(std::string("モード: ") + ModeText(request.mode) + "\n");
  out("サーバー: " + host + "\n");
  if (report.listUnreadable) {
    out("リストを読み込めませんでした\n");
  } else if (!report.connected) {
    out("接続できませんでした: " + report.connectFailure + "\n");
  }
  for (size_t i = 0; i < request.entries.size(); ++i) {
    const EntryOutcome none;
    const EntryOutcome& outcome = i < report.outcomes.size() ? report.outcomes[i] : none;
    out("  " + EntryLogText(request.entries[i], outcome) + "\n");
  }
  out(TotalsLogText(report) + "\n");
  out(DurationLogText(report) + "\n");
  for (std::string message : report.messages) {
    for (char& c : message) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    out("メッセージ: " + message + "\n");
  }
  if (!conversation.empty()) {
    out("FTP:\n");
    for (const std::string& line : conversation) out("  " + line + "\n");
  }
  out("\n");
}

std::string MissedRunsRecord(const std::vector<MissedRun>& missed, int64_t now) {
  std::string record = "=== " + FormatLocal(now, "%Y-%m-%d %H:%M:%S") + " 予約\n";
  record += "実行されなかった予約: " + std::to_string(missed.size()) + "\n";
  for (const MissedRun& run : missed) {
    const char* why = "パソコンが休止していたか、ほかの処理中でした";
    if (run.why == MissedRun::Why::NotRunning) why = "プログラムが起動していませんでした";
    if (run.why == MissedRun::Why::OtherRun) why = "ほかのアップロードが実行中でした";
    record += "  実行されず: " + run.dueAt + " " + run.listName + "（" + why + "）\n";
  }
  return record + "\n";
}

std::vector<std::string> ConversationLines(const FtpTraceEvent& event) {
  // The extra connections of a run talk at the same time as the first: each line says whose.
  const std::string who =
      event.connection > 1 ? "[接続" + std::to_string(event.connection) + "] " : "";
  switch (event.kind) {
    case FtpTraceEvent::Kind::Command:
      return {who + "> " + event.command};
    case FtpTraceEvent::Kind::Reply: {
      std::vector<std::string> lines;
      for (const std::string& line : event.lines) lines.push_back(who + "< " + line);
      if (lines.empty()) lines.push_back(who + "< " + std::to_string(event.code));
      return lines;
    }
    case FtpTraceEvent::Kind::Transfer:
      return {who + "= " + event.command + " " + std::to_string(event.bytes) + "バイト " +
              TransferResultText(event.result)};
  }
  return {};
}

int MonthOfRunLogName(const std::string& name) {
  if (name.size() != 11 || name[4] != '-' || name.substr(7) != ".log") return -1;
  for (size_t i : {0, 1, 2, 3, 5, 6}) {
    if (name[i] < '0' || name[i] > '9') return -1;
  }
  return std::stoi(name.substr(0, 4)) * 12 + std::stoi(name.substr(5, 2)) - 1;
}

std::string RunLogFolder(const AppSettings& settings) {
  return PathBesideExe(settings, kFolderName);
}

void OpenRunLogFolder(const AppSettings& settings, Launcher& launcher, Prompts& prompts) {
  const std::string folder = RunLogFolder(settings);
  struct stat st {};
  const bool made = MakeFolder(folder) && ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (!made || !launcher.OpenFile(folder)) prompts.Error("ログフォルダを開けませんでした");
}

void RemoveOldRunLogs(const std::string& folder, int64_t now) {
  const LocalDate today = LocalDateOf(now);
  const int oldestKept = today.year * 12 + today.month - 1 - kRunLogMonthsKept;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* item = ::readdir(dir)) {
    const std::string name = item->d_name;
    const int month = MonthOfRunLogName(name);
    if (month < 0 || month >= oldestKept) continue;
    const std::string path = folder + "/" + name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

RunLog::RunLog(const AppSettings& settings) : m_settings(settings) {}

void RunLog::Listen(FtpOptions& options) {
  if (!AppSettings::IsOn(m_settings.logFtp)) return;
  options.trace = [this, earlier = std::move(options.trace)](const FtpTraceEvent& event) {
    if (earlier) earlier(event);
    for (std::string& line : ConversationLines(event)) m_conversation.push_back(std::move(line));
  };
}

std::string RunLog::PathFor(int64_t startedAt) const {
  return RunLogFolder(m_settings) + "/" + FormatLocal(startedAt, "%Y-%m") + ".log";
}

bool RunLog::Append(const UploadRequest& request, const UploadReport& report) {
  const bool written = AppendRecord(report.startedAt, [&](LogAppender& file) {
    WriteRunLogRecord(request, report, m_settings.hostname, m_conversation,
                      [&file](std::string_view text) { file.Add(text); });
  });
  m_conversation.clear();
  return written;
}

bool RunLog::AppendMissed(const std::vector<MissedRun>& missed, int64_t now) {
  return AppendRecord(now, [&](LogAppender& file) { file.Add(MissedRunsRecord(missed, now)); });
}

bool RunLog::AppendRecord(int64_t startedAt, const std::function<void(LogAppender&)>& write) {
  const std::string folder = RunLogFolder(m_settings);
  if (!MakeFolder(folder)) return false;
  LogAppender file(PathFor(startedAt));
  write(file);
  const bool written = file.Finish();
  RemoveOldRunLogs(folder, startedAt);
  return written;
}

}  // namespace tolvane
