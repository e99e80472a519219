#include "lists/FileCommands.h"

#include <optional>

#include "Seams.h"
#include "platform/AsciiText.h"
#include "settings/AppSettings.h"
#include "window/MainState.h"

namespace tolvane {
namespace {

constexpr const char* kNotOpened = "ファイルを開けませんでした";

bool EndsWithIgnoringCase(std::string_view path, std::string_view suffix) {
  return path.size() >= suffix.size() &&
         EqualsIgnoringAsciiCase(path.substr(path.size() - suffix.size()), suffix);
}

// The selected file's path, or nullopt after telling the user that none is selected.
std::optional<std::string> SelectedPath(MainContext& ctx) {
  const int index = ctx.view.FileSelection();
  const std::vector<std::string>& paths = ctx.state.filePaths;
  // A selection the paths don't cover names no file either.
  if (index < 0 || static_cast<size_t>(index) >= paths.size()) {
    ctx.prompts.Error("ファイルが選択されていません");
    return std::nullopt;
  }
  return paths[static_cast<size_t>(index)];
}

}  // namespace

bool IsHtmlPath(const std::string& path) {
  return EndsWithIgnoringCase(path, "html") || EndsWithIgnoringCase(path, "htm");
}

void OnOpenFile(MainContext& ctx, Launcher& launcher) {
  std::optional<std::string> path = SelectedPath(ctx);
  if (!path) return;
  if (!launcher.OpenFile(*path)) ctx.prompts.Error(kNotOpened);
}

void OnHtmlEdit(MainContext& ctx, Launcher& launcher) {
  std::optional<std::string> path = SelectedPath(ctx);
  if (!path) return;
  if (!IsHtmlPath(*path)) {
    ctx.prompts.Error("HTMLファイルで無いので編集できません");
    return;
  }
  // A configured editor that cannot be started is passed over silently.
  const std::string& editor = ctx.settings.editor;
  if (!editor.empty() && launcher.StartProgram(editor, *path)) return;
  if (!launcher.OpenInTextEditor(*path)) ctx.prompts.Error(kNotOpened);
}

}  // namespace tolvane
