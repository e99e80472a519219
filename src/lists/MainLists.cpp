#include "lists/MainLists.h"

#include "app/AppSettings.h"
#include "app/MainState.h"
#include "lists/ListStore.h"
#include "platform/Seams.h"

namespace tolvane {

void FillListSelector(MainContext& ctx) {
  std::vector<std::string> names = FindListNames(ctx.settings);
  if (names.empty()) return;
  int startIndex = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    ctx.view.AppendList(names[i]);
    if (names[i] == ctx.settings.start) startIndex = static_cast<int>(i);
  }
  ctx.view.SelectList(startIndex);
  ShowList(ctx, startIndex);
}

void ShowList(MainContext& ctx, int index) {
  ctx.view.SetFileNames({});
  ctx.state.filePaths.clear();
  if (index < 0) return;
  std::optional<std::vector<std::string>> lines = ReadListLines(ctx.settings, ctx.view.ListName(index));
  if (!lines) {
    ctx.prompts.Error("リストを読み込めませんでした");
    return;
  }
  std::vector<std::string> names;
  // Path lines only; an unpaired last path line is shown like any other.
  for (size_t i = 0; i < lines->size(); i += 2) {
    names.push_back(DisplayName((*lines)[i]));
    ctx.state.filePaths.push_back(ResolveListPath(ctx.settings, (*lines)[i]));
  }
  ctx.view.SetFileNames(names);
  ctx.view.FocusFileList();
}

void OnListSelectionChanged(MainContext& ctx) {
  int index = ctx.view.ListSelection();
  if (index >= 0) ShowList(ctx, index);
}

}  // namespace tolvane
