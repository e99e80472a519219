#pragma once
// The main window's list selector and file list.
#include "window/MainView.h"

namespace tolvane {

// Fills the selector from the list folder at start-up and shows the start list.
void FillListSelector(MainContext& ctx);

// Shows the list at `index` of the selector in the file list; -1 shows none.
void ShowList(MainContext& ctx, int index);

// The selector's selection changed.
void OnListSelectionChanged(MainContext& ctx);

}  // namespace tolvane
