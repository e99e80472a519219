#include "lists/ListCommands.h"

#include "Seams.h"
#include "lists/ListStore.h"
#include "lists/MainLists.h"
#include "settings/AppSettings.h"
#include "window/BusyGuard.h"

namespace tolvane {
namespace {

// The selected list's index, or -1 after telling the user that none is selected.
int SelectedList(MainContext& ctx) {
  const int index = ctx.view.ListSelection();
  if (index < 0) ctx.prompts.Error("リストが選択されていません");
  return index;
}

}  // namespace

void NewList(MainContext& ctx, ListEditorRunner& editor) {
  if (RefuseWhileBusy(ctx)) return;
  const ListEditorOutcome outcome = editor.Run(false, "");
  if (outcome.end != ListEditorOutcome::End::Ok) return;
  ctx.prompts.Done("リストを作成しました");
  // Appended only: the list shown stays the one the user was looking at.
  ctx.view.AppendList(outcome.listName);
}

void EditList(MainContext& ctx, ListEditorRunner& editor) {
  if (RefuseWhileBusy(ctx)) return;
  const int index = SelectedList(ctx);
  if (index < 0) return;
  const ListEditorOutcome outcome = editor.Run(true, ctx.view.ListName(index));
  if (outcome.end != ListEditorOutcome::End::Ok) return;
  if (outcome.renamed) {
    ctx.view.RemoveList(index);
    ctx.view.AppendList(outcome.listName);
    ctx.view.SelectList(ctx.view.ListCount() - 1);
  }
  ShowList(ctx, ctx.view.ListSelection());
}

void DeleteList(MainContext& ctx) {
  if (RefuseWhileBusy(ctx)) return;
  int index = SelectedList(ctx);
  if (index < 0) return;
  const std::string name = ctx.view.ListName(index);
  if (!ctx.prompts.Ask("\"" + name + "\"リストを削除しますか？")) return;
  if (!DeleteListFile(ctx.settings, name)) {
    ctx.prompts.Error("リストを削除できませんでした");
    return;
  }
  ctx.prompts.Done("リストを削除しました");
  ctx.view.RemoveList(index);
  // The deleted list was the last one: its predecessor takes its place (-1 when none is left).
  if (index == ctx.view.ListCount()) --index;
  ctx.view.SelectList(index);
  ShowList(ctx, index);
}

}  // namespace tolvane
