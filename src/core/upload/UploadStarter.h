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
