#include "lists/MainLists.h"

#include "Seams.h"
#include "lists/ListStore.h"
#include "settings/AppSettings.h"
#include "window/MainState.h"

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
  std::optional<UploadList> list =
      ReadListFile(ctx.settings, ctx.view.ListName(index), UnpairedLine::AsEntry);
  if (!list) {
    ctx.prompts.Error("リストを読み込めませんでした");
    return;
  }
  std::vector<std::string> names;
  for (const UploadEntry& entry : list->entries) {
    names.push_back(DisplayName(entry.localPath));
    ctx.state.filePaths.push_back(ResolveListPath(ctx.settings, entry.localPath));
  }
  ctx.view.SetFileNames(names);
  ctx.view.FocusFileList();
}

void OnListSelectionChanged(MainContext& ctx) {
  int index = ctx.view.ListSelection();
  if (index >= 0) ShowList(ctx, index);
}

}  // namespace tolvane
