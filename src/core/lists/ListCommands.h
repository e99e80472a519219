#pragma once
// The main window's menu "リスト": new list, edit list, delete list.
#include <string>

#include "window/MainView.h"

namespace tolvane {

// How the list editor ended, and what the main window reads back from it.
struct ListEditorOutcome {
  enum class End { None, Ok, Cancel };  // None: the list file could not be read at opening
  End end = End::None;
  std::string listName;
  bool renamed = false;
};

// Runs the list editor modally over the main window.
class ListEditorRunner {
 public:
  virtual ~ListEditorRunner() = default;
  virtual ListEditorOutcome Run(bool editMode, const std::string& listName) = 0;
};

void NewList(MainContext& ctx, ListEditorRunner& editor);
void EditList(MainContext& ctx, ListEditorRunner& editor);
void DeleteList(MainContext& ctx);

}  // namespace tolvane
