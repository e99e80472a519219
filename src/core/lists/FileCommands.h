#pragma once
// The file menu's commands on the file selected in the main window's file list: open it with
// its associated program, or edit an HTML file in the configured editor.
#include <string>

#include "window/MainView.h"

namespace tolvane {

class Launcher;

// "html" at the end, or else "htm", letter case ignored; no dot is needed before it.
bool IsHtmlPath(const std::string& path);

// Menu command "開く".
void OnOpenFile(MainContext& ctx, Launcher& launcher);
// Menu command "HTML編集": the configured editor once, then the desktop's text editor.
void OnHtmlEdit(MainContext& ctx, Launcher& launcher);

}  // namespace tolvane
