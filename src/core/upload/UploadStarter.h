#pragma once
// How the main window and the schedule start a run: each builds its request (the selected list
// and the keys' mode, or the entry's list and the stored mode), with the window's button
// disabled and no other run or tick let in meanwhile.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "schedule/ClockGap.h"
#include "schedule/TimerEntry.h"
#include "settings/AppSettings.h"
#include "upload/PreviewText.h"
#include "upload/UploadRun.h"
#include "window/MainView.h"

namespace tolvane {

inline constexpr const char* kRunLogFailedText = "実行ログを書き込めませんでした";
inline constexpr const char* kMissedRunsText = "予定どおり実行されなかった予約があります";

// Ctrl: files of the same age too; Shift: everything. The settings come after the keys, so
// they win.
UploadMode ModeFor(bool ctrlDown, bool shiftDown, const AppSettings& settings);

// Hears of each entry of a run as soon as it is decided.
using EntryReport = std::function<void(const UploadEntry&, const EntryOutcome&)>;

// The upload button. nullopt when no run took place (busy, no list selected, another run
// holding the folder).
std::optional<UploadReport> UploadFromButton(MainContext& ctx, FtpOptions options = {},
                                             UploadMethod method = UploadMethod::Listed);

// The selected list in the keys' mode, looked at: every look-up and decision of the run the
// button would start, nothing put and nothing logged. nullopt when there is nothing to show
// (a run in progress, no list selected, the list unreadable, the server not reached); the
// reason has been shown.
std::optional<UploadPreview> PreviewFromButton(MainContext& ctx, FtpOptions options = {},
                                               UploadMethod method = UploadMethod::Listed);

// The preview of `request` (its list name, mode and origin): nullopt when the list cannot be
// read; a report that did not connect when the server could not be reached.
std::optional<UploadPreview> PreviewList(MainContext& ctx, UploadRequest request,
                                         FtpOptions options = {},
                                         UploadMethod method = UploadMethod::Listed);

// A preview's upload: `listName` in the mode previewed, run and logged as the button's run.
std::optional<UploadReport> UploadListNow(MainContext& ctx, const std::string& listName,
                                          UploadMode mode, FtpOptions options = {});

// A schedule entry come due: the keys are not asked, and the window comes forward first when
// the settings say so.
std::optional<UploadReport> UploadFromSchedule(MainContext& ctx, const TimerEntry& entry,
                                               FtpOptions options = {});

// A run from the command line: the named list in `mode`, each entry told to `entryDone`.
// nullopt when another run held the folder all the while.
std::optional<UploadReport> UploadFromCommandLine(MainContext& ctx, const std::string& listName,
                                                  UploadMode mode, FtpOptions options = {},
                                                  EntryReport entryDone = {});

// Schedule entries that were due and did not run: logged, and told in the file line beside
// the last run's result.
void RecordMissedRuns(MainContext& ctx, const std::vector<MissedRun>& missed);

}  // namespace tolvane
