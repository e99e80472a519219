#pragma once
// How the main window and the schedule start a run: each builds its request (the selected list
// and the keys' mode, or the entry's list and the stored mode), with the window's button
// disabled and no other run or tick let in meanwhile.
#include <optional>

#include "schedule/TimerEntry.h"
#include "settings/AppSettings.h"
#include "upload/PreviewText.h"
#include "upload/UploadRun.h"
#include "window/MainView.h"

namespace tolvane {

inline constexpr const char* kRunLogFailedText = "実行ログを書き込めませんでした";

// Ctrl: files of the same age too; Shift: everything. The settings come after the keys, so
// they win.
UploadMode ModeFor(bool ctrlDown, bool shiftDown, const AppSettings& settings);

// The upload button. nullopt when no run took place (busy, no list selected, list unreadable).
std::optional<UploadReport> UploadFromButton(MainContext& ctx, FtpOptions options = {},
                                             UploadMethod method = UploadMethod::Listed);

// The selected list in the keys' mode, looked at: every look-up and decision of the run the
// button would start, nothing put and nothing logged. nullopt when there is nothing to show
// (a run in progress, no list selected, the list unreadable, the server not reached); the
// reason has been shown.
std::optional<UploadPreview> PreviewFromButton(MainContext& ctx, FtpOptions options = {},
                                               UploadMethod method = UploadMethod::Listed);

// A preview's upload: `listName` in the mode previewed, run and logged as the button's run.
std::optional<UploadReport> UploadListNow(MainContext& ctx, const std::string& listName,
                                          UploadMode mode, FtpOptions options = {});

// A schedule entry come due: the keys are not asked, and the window comes forward first when
// the settings say so.
std::optional<UploadReport> UploadFromSchedule(MainContext& ctx, const TimerEntry& entry,
                                               FtpOptions options = {});

}  // namespace tolvane
