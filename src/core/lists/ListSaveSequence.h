#pragma once
// What the list editor's OK does: checks the name, renames the file when asked, writes the
// entries, and says how the editor ends.
#include <string>
#include <vector>

#include "Seams.h"
#include "lists/ListStore.h"
#include "settings/AppSettings.h"

namespace tolvane {

struct ListEditorData {
  bool m_editMode = false;
  bool m_renamed = false;
  std::vector<UploadEntry> m_entries;
  std::string m_listName;
  std::string m_oldName;
  bool m_modified = false;
};

enum class EditorEnd { StayOpen, Ok, Cancel };

// `selectorNames` are the names in the main window's list selector, in order.
EditorEnd SaveListEditor(ListEditorData& data, const std::vector<std::string>& selectorNames,
                         const AppSettings& settings, Prompts& prompts);

}  // namespace tolvane
