#include "schedule/TimerSettingsCommand.h"

#include "window/BusyGuard.h"

namespace tolvane {

void TimerSettingsCommand(MainContext& ctx, const std::function<void()>& openListDialog) {
  // A run pumps events, so this could arrive in the middle of one: the dialog would then hold
  // the run still for as long as it stays open, and its OK would rebuild the day selection
  // under a minute that is still firing.
  if (RefuseWhileBusy(ctx)) return;
  if (ctx.view.ListCount() == 0) {
    ctx.prompts.Error("リストが無いので設定できません");
    return;
  }
  openListDialog();
}

}  // namespace tolvane
