#pragma once
// The main window's menu command "タイマー設定".
#include <functional>

#include "window/MainView.h"

namespace tolvane {

// Opens the timer list dialog through `openListDialog` when there is a list to schedule and
// no upload run or clock check is in progress.
void TimerSettingsCommand(MainContext& ctx, const std::function<void()>& openListDialog);

}  // namespace tolvane
