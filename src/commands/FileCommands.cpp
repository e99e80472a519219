#include "commands/FileCommands.h"

#include <optional>

#include "app/AppSettings.h"
#include "app/MainState.h"
#include "platform/Seams.h"

namespace tolvane {
namespace {

constexpr const char* kNotOpened = "ファイルを開けませんでした";

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The last `n` bytes of `path` (all of it when shorter) equal `lower`, ASCII case ignored.
// Bytes of multibyte UTF-8 characters are never ASCII, so they can't match by accident.
bool EndsWith(const std::string& path, const std::string& lower, size_t n) {
  const std::string tail = path.size() > n ? path.substr(path.size() - n) : path;
  if (tail.size() != lower.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    if (LowerAscii(tail[i]) != lower[i]) return false;
  }
  return true;
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
  return EndsWith(path, "html", 4) || EndsWith(path, "htm", 3);
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
