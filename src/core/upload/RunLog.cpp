#include "upload/RunLog.h"

#include <dirent.h>
#include <fcntl.h>
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

std::string EntryLine(const UploadEntry& entry, const EntryOutcome& outcome) {
  using Kind = EntryOutcome::Kind;
  std::string target = entry.localPath;
  if (!entry.remoteFolder.empty()) target += " → " + entry.remoteFolder;
  switch (outcome.kind) {
    case Kind::Uploaded:
      return "  アップロード: " + target + "（" + std::to_string(outcome.bytes) + "バイト・" +
             TypeText(outcome.type) + "・" + std::to_string(outcome.milliseconds) + "ミリ秒）";
    case Kind::UpToDate:
      return "  最新: " + target;
    case Kind::LocalMissing:
      return "  ローカルファイルなし: " + target;
    case Kind::Unchecked:
      return "  確認できず: " + target +
             (outcome.detail.empty() ? "" : "（" + outcome.detail + "）");
    case Kind::Failed:
      return "  失敗: " + target + "（" + outcome.detail + "）";
    case Kind::NotReached:
    case Kind::WouldUpload:  // a preview's, and previews are not logged
      break;
  }
  return "  未実行: " + target;
}

std::string TotalsLine(const UploadReport& report) {
  using Kind = EntryOutcome::Kind;
  auto part = [&report](const char* label, Kind kind) {
    return std::string(label) + " " + std::to_string(report.Count(kind));
  };
  return "合計: " + part("アップロード", Kind::Uploaded) + "・" + part("最新", Kind::UpToDate) +
         "・" + part("ローカルファイルなし", Kind::LocalMissing) + "・" +
         part("確認できず", Kind::Unchecked) + "・" + part("失敗", Kind::Failed) + "・" +
         part("未実行", Kind::NotReached);
}

std::string TransferResultText(const FtpResult& result) {
  if (result.Succeeded()) return "完了";
  return "失敗 " + FailureText(result);
}

// "YYYY-MM.log" as a month number, or -1 for any other name.
int MonthOfLogName(const std::string& name) {
  if (name.size() != 11 || name[4] != '-' || name.substr(7) != ".log") return -1;
  for (size_t i : {0, 1, 2, 3, 5, 6}) {
    if (name[i] < '0' || name[i] > '9') return -1;
  }
  return std::stoi(name.substr(0, 4)) * 12 + std::stoi(name.substr(5, 2)) - 1;
}

// Appends without waiting: a FIFO or device put in the log's place is refused, and so is a
// full disk, rather than holding the run.
bool AppendToRegularFile(const std::string& path, const std::string& text) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, kFileMode);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  size_t written = 0;
  while (ok && written < text.size()) {
    const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
    } else {
      written += static_cast<size_t>(n);
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace

std::string RunLogRecord(const UploadRequest& request, const UploadReport& report,
                         const std::string& host, const std::vector<std::string>& conversation) {
  std::string record = "=== " + FormatLocal(report.startedAt, "%Y-%m-%d %H:%M:%S") + " " +
                       OriginText(request.origin) + "\n";
  record += "リスト: " + request.listName + "\n";
  record += std::string("モード: ") + ModeText(request.mode) + "\n";
  record += "サーバー: " + host + "\n";
  if (!report.connected) record += "接続できませんでした: " + report.connectFailure + "\n";
  for (size_t i = 0; i < request.entries.size(); ++i) {
    const EntryOutcome none;
    const EntryOutcome& outcome = i < report.outcomes.size() ? report.outcomes[i] : none;
    record += EntryLine(request.entries[i], outcome) + "\n";
  }
  record += TotalsLine(report) + "\n";
  record += "所要時間: " + std::to_string(report.endedAt - report.startedAt) + "秒（" +
            FormatLocal(report.endedAt, "%H:%M:%S") + " 終了）\n";
  if (!conversation.empty()) {
    record += "FTP:\n";
    for (const std::string& line : conversation) record += "  " + line + "\n";
  }
  return record + "\n";
}

std::vector<std::string> ConversationLines(const FtpTraceEvent& event) {
  switch (event.kind) {
    case FtpTraceEvent::Kind::Command:
      return {"> " + event.command};
    case FtpTraceEvent::Kind::Reply: {
      std::vector<std::string> lines;
      for (const std::string& line : event.lines) lines.push_back("< " + line);
      if (lines.empty()) lines.push_back("< " + std::to_string(event.code));
      return lines;
    }
    case FtpTraceEvent::Kind::Transfer:
      return {"= " + event.command + " " + std::to_string(event.bytes) + "バイト " +
              TransferResultText(event.result)};
  }
  return {};
}

void RemoveOldRunLogs(const std::string& folder, int64_t now) {
  const LocalDate today = LocalDateOf(now);
  const int oldestKept = today.year * 12 + today.month - 1 - kRunLogMonthsKept;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* item = ::readdir(dir)) {
    const std::string name = item->d_name;
    const int month = MonthOfLogName(name);
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
  return PathBesideExe(m_settings, kFolderName) + "/" + FormatLocal(startedAt, "%Y-%m") + ".log";
}

bool RunLog::Append(const UploadRequest& request, const UploadReport& report) {
  const std::string folder = PathBesideExe(m_settings, kFolderName);
  if (::mkdir(folder.c_str(), kFolderMode) != 0 && errno != EEXIST) return false;
  const bool written =
      AppendToRegularFile(PathFor(report.startedAt),
                          RunLogRecord(request, report, m_settings.hostname, m_conversation));
  m_conversation.clear();
  RemoveOldRunLogs(folder, report.startedAt);
  return written;
}

}  // namespace tolvane
