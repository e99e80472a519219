#include "lists/ListEditorForm.h"

#include <utility>

#include "lists/ListStore.h"
#include "platform/Cp932.h"

namespace tolvane {
namespace {

size_t Index(int row) { return static_cast<size_t>(row); }

}  // namespace

ListEditorForm::ListEditorForm(const AppSettings& settings, Prompts& prompts)
    : m_settings(settings), m_prompts(prompts) {}

bool ListEditorForm::Open(bool editMode, const std::string& listName) {
  m_data = ListEditorData{};
  m_data.m_editMode = editMode;
  m_data.m_listName = listName;
  m_data.m_modified = true;  // a new list is always written by its first OK
  if (!editMode) return true;

  m_data.m_oldName = listName;
  // The file is only rewritten on a change, so an unpaired line stays as it is till then.
  std::optional<UploadList> list = ReadListFile(m_settings, listName, UnpairedLine::AsEntry);
  if (!list) {
    m_prompts.Error("リストファイルを読み込めませんでした");
    return false;
  }
  m_data.m_entries = std::move(list->entries);
  m_data.m_modified = false;
  return true;
}

const std::string& ListEditorForm::Path(int row) const {
  return m_data.m_entries.at(Index(row)).localPath;
}

const std::string& ListEditorForm::Folder(int row) const {
  return m_data.m_entries.at(Index(row)).remoteFolder;
}

void ListEditorForm::Add(const std::string& path, const std::string& folder) {
  m_data.m_entries.push_back({path, folder});
  m_data.m_modified = true;
}

bool ListEditorForm::RequireSelection(int row) {
  if (row >= 0 && row < RowCount()) return true;
  m_prompts.Error("ファイルが選択されていません");
  return false;
}

void ListEditorForm::Edit(int row, const std::string& path, const std::string& folder) {
  m_data.m_entries.at(Index(row)) = {path, folder};
  // Set even when nothing differs: the next OK rewrites the file.
  m_data.m_modified = true;
}

bool ListEditorForm::Delete(int row) {
  if (!RequireSelection(row)) return false;
  m_data.m_entries.erase(m_data.m_entries.begin() + static_cast<std::ptrdiff_t>(row));
  m_data.m_modified = true;
  return true;
}

int ListEditorForm::Move(int row, int delta) {
  if (row < 0 || row >= RowCount()) return -1;
  const int target = row + delta;
  if (target < 0 || target >= RowCount()) return row;
  std::swap(m_data.m_entries[Index(row)], m_data.m_entries[Index(target)]);
  m_data.m_modified = true;
  return target;
}

EditorEnd ListEditorForm::Save(const std::vector<std::string>& selectorNames) {
  return SaveListEditor(m_data, selectorNames, m_settings, m_prompts);
}

std::optional<UnstorableEntry> CheckEntryText(const std::string& path, const std::string& folder) {
  if (FitsListFile(path) && FitsListFile(folder)) return std::nullopt;
  const bool inFolder = FitsListFile(path);
  const std::string field = inFolder ? "アップロードするフォルダ" : "アップロードするファイル";
  return UnstorableEntry{inFolder,
                         "「" + field + "」に使用できない文字が含まれています。\n" +
                             "リストファイル（シフトJIS）に保存できる文字だけを使ってください"};
}

}  // namespace tolvane
