#pragma once
// Commands that would disturb an upload run or a clock check in progress (list edits, another
// clock check) are refused while one runs: the run's pump can dispatch them mid-run.
#include "Seams.h"
#include "window/MainState.h"
#include "window/MainView.h"

namespace tolvane {

inline constexpr const char* kBusyMessage =
    "アップロード中は実行できません。終わってからもう一度操作してください";

// True (after telling the user) when a run is in progress.
inline bool RefuseWhileBusy(MainContext& ctx) {
  if (!ctx.state.m_busy) return false;
  ctx.prompts.Error(kBusyMessage);
  return true;
}

}  // namespace tolvane
