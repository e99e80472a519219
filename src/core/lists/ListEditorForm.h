#pragma once
// The list editor's working copy of one list and what its buttons do to it. The dialog only
// mirrors this in its table: row i shows entry i at all times.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Seams.h"
#include "lists/ListSaveSequence.h"
#include "settings/AppSettings.h"

namespace tolvane {

class ListEditorForm {
 public:
  ListEditorForm(const AppSettings& settings, Prompts& prompts);

  // Prepares a new list, or (editMode) reads the list `listName`. False, after telling the
  // user, when the list file cannot be read: the editor then ends at once.
  bool Open(bool editMode, const std::string& listName);

  ListEditorData& Data() { return m_data; }
  const ListEditorData& Data() const { return m_data; }
  int RowCount() const { return static_cast<int>(m_data.m_entries.size()); }
  const std::string& Path(int row) const;
  const std::string& Folder(int row) const;

  void Add(const std::string& path, const std::string& folder);

  // Edit and Delete need a selected row (-1: none); false, after telling the user, without.
  bool RequireSelection(int row);
  void Edit(int row, const std::string& path, const std::string& folder);
  bool Delete(int row);

  // Moves the entry at `row` one step (delta -1 up, +1 down). Returns the row it now has;
  // at either end nothing moves and `row` comes back unchanged; -1 when nothing was selected.
  int Move(int row, int delta);

  // The OK button: the save sequence against the names in the owner's list selector.
  EditorEnd Save(const std::vector<std::string>& selectorNames);

 private:
  const AppSettings& m_settings;
  Prompts& m_prompts;
  ListEditorData m_data;
};

// Text of an entry that a list file cannot hold, and which of the two boxes holds it.
struct UnstorableEntry {
  bool inFolder;  // false: the path
  std::string message;
};
std::optional<UnstorableEntry> CheckEntryText(const std::string& path, const std::string& folder);

}  // namespace tolvane
