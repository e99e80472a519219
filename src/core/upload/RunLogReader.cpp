#include "upload/RunLogReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "upload/ResultLine.h"
#include "upload/RunLog.h"

namespace tolvane {
namespace {

constexpr std::string_view kHeader = "=== ";
constexpr std::string_view kKeySeparator = ": ";
constexpr std::string_view kPartSeparator = "・";
// No path or server reply comes near this; a longer line is damage and is cut.
constexpr size_t kLineBytesKept = 2000;
// Lines kept per record and part; a damaged file can hold millions of indented lines.
constexpr size_t kLinesKept = 5000;

bool IsDecimalDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool IsFailureLabel(std::string_view label) {
  return label == "失敗" || label == "確認できず" || label == "実行されず";
}

// `text` cut to at most kLineBytesKept bytes, never inside a UTF-8 character.
std::string Kept(std::string_view text) {
  if (text.size() <= kLineBytesKept) return std::string(text);
  size_t end = kLineBytesKept;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return std::string(text.substr(0, end)) + "…";
}

std::string_view LabelOf(std::string_view line) {
  const size_t colon = line.find(kKeySeparator);
  return colon == std::string_view::npos ? std::string_view() : line.substr(0, colon);
}

// The totals line "アップロード 2・最新 1・失敗 0・…" told the way the main window tells a
// run: "2件アップロード・1件失敗".
std::string TotalsSummary(std::string_view totals) {
  ResultCounts counts;
  const std::pair<std::string_view, int ResultCounts::*> labels[] = {
      {"アップロード", &ResultCounts::uploaded},
      {"失敗", &ResultCounts::failed},
      {"確認できず", &ResultCounts::unchecked},
      {"ローカルファイルなし", &ResultCounts::localMissing}};
  while (!totals.empty()) {
    const size_t end = std::min(totals.find(kPartSeparator), totals.size());
    const std::string_view part = totals.substr(0, end);
    totals.remove_prefix(std::min(end + kPartSeparator.size(), totals.size()));
    const size_t blank = part.rfind(' ');
    if (blank == std::string_view::npos) continue;
    const std::string_view count = part.substr(blank + 1);
    // More digits than a count of files can have is damage.
    if (!IsDecimalDigits(count) || count.size() > 9) continue;
    for (const auto& [label, field] : labels) {
      if (part.substr(0, blank) == label) counts.*field = std::stoi(std::string(count));
    }
  }
  return ResultCountsText(counts);
}

// Builds one record line by line.
class RecordParser {
 public:
  explicit RecordParser(std::string_view header) {
    // "2026-12-07 18:25:48 ボタン": the date and time are the first two words.
    size_t timeEnd = header.find(' ');
    if (timeEnd != std::string_view::npos) timeEnd = header.find(' ', timeEnd + 1);
    if (timeEnd == std::string_view::npos) timeEnd = header.size();
    m_run.startedAt = Kept(header.substr(0, timeEnd));
    m_run.origin = Kept(header.substr(std::min(timeEnd + 1, header.size())));
  }

  void Add(std::string_view line) {
    if (line.starts_with(' ')) {
      line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
      if (m_inFtp) {
        AddLimited(m_run.ftpLines, m_ftpOmitted, Kept(line));
      } else {
        AddLimited(m_run.lines, m_linesOmitted, {Kept(line), IsFailureLabel(LabelOf(line))});
      }
      return;
    }
    m_inFtp = line == "FTP:";
    if (!m_inFtp) AddKeyLine(line);
  }

  LoggedRun Finish() {
    if (m_linesOmitted) m_run.lines.push_back({Omitted(m_linesOmitted), false});
    if (m_ftpOmitted) m_run.ftpLines.push_back(Omitted(m_ftpOmitted));
    m_run.failure = std::any_of(m_run.lines.begin(), m_run.lines.end(),
                                [](const RunLogLine& line) { return line.failure; });
    if (m_connectFailed) {
      m_run.summary = "接続できませんでした";
    } else if (m_missed) {
      m_run.summary =
          "実行されなかった予約 " + *m_missed + (IsDecimalDigits(*m_missed) ? "件" : "");
    } else if (m_totals) {
      m_run.summary = TotalsSummary(*m_totals);
    } else {
      m_run.summary = "記録が途中で切れています";
    }
    return std::move(m_run);
  }

 private:
  void AddKeyLine(std::string_view line) {
    const std::string_view key = LabelOf(line);
    const std::string_view value =
        key.empty() ? std::string_view() : line.substr(key.size() + kKeySeparator.size());
    if (key == "リスト") {
      m_run.listName = Kept(value);
    } else if (key == "合計") {
      m_totals = Kept(value);
    } else if (key == "実行されなかった予約") {
      m_missed = Kept(value);
    } else if (key == "接続できませんでした") {
      m_connectFailed = true;
      m_run.lines.insert(m_run.lines.begin(), {Kept(line), true});
    } else if (m_run.details.size() < kLinesKept) {
      m_run.details.push_back(Kept(line));
    }
  }

  template <typename Line>
  static void AddLimited(std::vector<Line>& lines, size_t& omitted, Line line) {
    if (lines.size() < kLinesKept) {
      lines.push_back(std::move(line));
    } else {
      ++omitted;
    }
  }

  static std::string Omitted(size_t count) {
    return "（ほか" + std::to_string(count) + "行は省略）";
  }

  LoggedRun m_run;
  bool m_inFtp = false;
  bool m_connectFailed = false;
  std::optional<std::string> m_totals;
  std::optional<std::string> m_missed;
  size_t m_linesOmitted = 0;
  size_t m_ftpOmitted = 0;
};

// The last `limit` bytes of a regular file, starting at a line; nullopt for anything else.
// Never waits: a FIFO in the file's place is refused without waiting for a writer.
std::optional<std::string> ReadTail(const std::string& path, size_t limit) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  const size_t size = static_cast<size_t>(st.st_size);
  const size_t from = size > limit ? size - limit : 0;
  std::string bytes(size - from, '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n =
        ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(from + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  bytes.resize(got);
  // Cut into the middle of a line: that line belongs to a record only partly read.
  if (from > 0) bytes.erase(0, std::min(bytes.find('\n'), bytes.size()));
  return bytes;
}

// The month files in `folder`, newest first.
std::vector<std::string> MonthFilesNewestFirst(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* item = ::readdir(dir)) {
    if (MonthOfRunLogName(item->d_name) >= 0) names.emplace_back(item->d_name);
  }
  ::closedir(dir);
  std::sort(names.rbegin(), names.rend());
  return names;
}

}  // namespace

std::vector<LoggedRun> ParseRunLog(std::string_view text) {
  std::vector<LoggedRun> runs;
  std::optional<RecordParser> record;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.ends_with('\r')) line.remove_suffix(1);

    // A header ends the record before it even without the blank line.
    if (line.starts_with(kHeader) || line.empty()) {
      if (record) runs.push_back(record->Finish());
      record.reset();
      if (!line.empty()) record.emplace(line.substr(kHeader.size()));
    } else if (record) {
      record->Add(line);
    }
  }
  if (record) runs.push_back(record->Finish());
  return runs;
}

std::vector<LoggedRun> RecentRuns(const std::string& folder, size_t maxRuns) {
  std::vector<LoggedRun> recent;
  for (const std::string& name : MonthFilesNewestFirst(folder)) {
    if (recent.size() >= maxRuns) break;
    std::optional<std::string> text = ReadTail(folder + "/" + name, kRunLogReadLimit);
    if (!text) continue;
    std::vector<LoggedRun> runs = ParseRunLog(*text);
    for (auto run = runs.rbegin(); run != runs.rend() && recent.size() < maxRuns; ++run) {
      recent.push_back(std::move(*run));
    }
  }
  return recent;
}

}  // namespace tolvane
