#pragma once
// The run log read back for the log window: the most recent records, newest first, each taken
// apart into what a row and its lines show. Any record of the log's shape is read: a header
// line, key lines "X: Y", indented lines, an optional FTP: part, a blank line after it.
// The files may be damaged in any way (cut off, bytes that are not UTF-8, an endless line,
// no blank line between two records, something other than a file in their place): what can
// be read is shown, and reading never waits and never grows without bound.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

// How many runs the log window shows.
inline constexpr size_t kRunsShown = 200;

// Only this much of the end of each month's file is read.
inline constexpr size_t kRunLogReadLimit = 4 * 1024 * 1024;

struct RunLogLine {
  std::string text;  // without its indent
  bool failure = false;
};

struct LoggedRun {
  std::string startedAt;  // as the header gives it, "2026-12-07 18:25:48"
  std::string origin;     // what started it: "ボタン", "予約", "コマンドライン"
  std::string listName;   // empty when the record names no list
  std::string summary;    // one short line for the run's row
  // The lines under the run: its indented lines, a connection failure first.
  std::vector<RunLogLine> lines;
  std::vector<std::string> details;   // the other key lines ("モード: …", "所要時間: …")
  std::vector<std::string> ftpLines;  // the FTP conversation, without indent
  bool failure = false;               // something did not get done
};

// The records of one file's text, in the order they were written.
std::vector<LoggedRun> ParseRunLog(std::string_view text);

// Up to `maxRuns` records from the month files YYYY-MM.log in `folder`, newest first; none
// when the folder is missing.
std::vector<LoggedRun> RecentRuns(const std::string& folder, size_t maxRuns);

}  // namespace tolvane
