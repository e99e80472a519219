#pragma once
// The run log: every run appends a record to log/YYYY-MM.log in the program folder, so what
// was put, what was skipped and why can still be read long after the status lines moved on.
// Writing it never holds up or fails a run.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Seams.h"
#include "ftp/FtpOptions.h"
#include "schedule/ClockGap.h"
#include "settings/AppSettings.h"
#include "upload/UploadRequest.h"

namespace tolvane {

// Months of log files kept before the current one.
inline constexpr int kRunLogMonthsKept = 12;

// The record of one run, handed to `out` a line at a time (a long list's record is never held
// whole): every line ending in LF, a blank line after it. `host` is the host setting; the
// account never appears. `conversation` holds finished lines, empty when not kept.
void WriteRunLogRecord(const UploadRequest& request, const UploadReport& report,
                       const std::string& host, const std::vector<std::string>& conversation,
                       const std::function<void(std::string_view)>& out);

// The record's lines, for whoever shows a run as it goes: what became of one entry, the
// totals, and how long the run took.
std::string EntryLogText(const UploadEntry& entry, const EntryOutcome& outcome);
std::string TotalsLogText(const UploadReport& report);
std::string DurationLogText(const UploadReport& report);

// The record of schedule entries that were due and did not run, noticed at `now`.
std::string MissedRunsRecord(const std::vector<MissedRun>& missed, int64_t now);

// What one thing said on the FTP connection looks like in the record.
std::vector<std::string> ConversationLines(const FtpTraceEvent& event);

// Deletes the files YYYY-MM.log in `folder` from more than kRunLogMonthsKept months before
// the local month of `now`; other files are left alone.
void RemoveOldRunLogs(const std::string& folder, int64_t now);

// The month a file name "YYYY-MM.log" stands for (year * 12 + month - 1), or -1 for any
// other name.
int MonthOfRunLogName(const std::string& name);

// The folder beside the executable that holds the month files.
std::string RunLogFolder(const AppSettings& settings);

// Shows the log folder on the desktop, making it (for the owner only) when no run has yet.
// Tells the person when it cannot be made or opened.
void OpenRunLogFolder(const AppSettings& settings, Launcher& launcher, Prompts& prompts);

class LogAppender;

class RunLog {
 public:
  explicit RunLog(const AppSettings& settings);

  // When the settings ask for the FTP conversation, hooks into `options` (any hook it had still
  // sees every event). The log must outlive every client made with those options.
  void Listen(FtpOptions& options);

  // Appends the run's record and removes old months. False when the record could not be
  // written; the run is done either way.
  bool Append(const UploadRequest& request, const UploadReport& report);
  bool AppendMissed(const std::vector<MissedRun>& missed, int64_t now);

  // The month's file the record goes into.
  std::string PathFor(int64_t startedAt) const;

 private:
  bool AppendRecord(int64_t startedAt, const std::function<void(LogAppender&)>& write);

  const AppSettings& m_settings;
  std::vector<std::string> m_conversation;
};

}  // namespace tolvane
