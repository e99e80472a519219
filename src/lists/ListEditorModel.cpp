#include "lists/ListEditorModel.h"

#include <utility>

#include "lists/ListStore.h"
#include "platform/Cp932.h"

namespace tolvane {
namespace {

size_t PathIndex(int row) { return 2 * static_cast<size_t>(row); }

// A line of a list file must survive the trip to code page 932 and back unchanged.
bool Storable(const std::string& text) {
  return FitsCp932(text) && text.find('\n') == std::string::npos;
}

}  // namespace

ListEditorModel::ListEditorModel(const AppSettings& settings, Prompts& prompts)
    : m_settings(settings), m_prompts(prompts) {}

bool ListEditorModel::Open(bool editMode, const std::string& listName) {
  m_data = ListEditorData{};
  m_data.m_editMode = editMode;
  m_data.m_listName = listName;
  m_data.m_modified = true;  // a new list is always written by its first OK
  m_entryCount = 0;
  if (!editMode) return true;

  m_data.m_oldName = listName;
  std::optional<std::vector<std::string>> lines = ReadListLines(m_settings, listName);
  if (!lines) {
    m_prompts.Error("リストファイルを読み込めませんでした");
    return false;
  }
  m_data.m_lines = std::move(*lines);
  // An unpaired last line (never written by this program) becomes an entry without a folder,
  // so that every row keeps its own path and folder; the file is only rewritten on a change.
  if (m_data.m_lines.size() % 2 != 0) m_data.m_lines.emplace_back();
  m_entryCount = m_data.m_lines.size() / 2;
  m_data.m_modified = false;
  return true;
}

const std::string& ListEditorModel::Path(int row) const {
  return m_data.m_lines.at(PathIndex(row));
}

const std::string& ListEditorModel::Folder(int row) const {
  return m_data.m_lines.at(PathIndex(row) + 1);
}

void ListEditorModel::Add(const std::string& path, const std::string& folder) {
  m_data.m_lines.push_back(path);
  m_data.m_lines.push_back(folder);
  ++m_entryCount;
  m_data.m_modified = true;
}

bool ListEditorModel::RequireSelection(int row) {
  if (row >= 0 && row < RowCount()) return true;
  m_prompts.Error("ファイルが選択されていません");
  return false;
}

void ListEditorModel::Edit(int row, const std::string& path, const std::string& folder) {
  m_data.m_lines.at(PathIndex(row)) = path;
  m_data.m_lines.at(PathIndex(row) + 1) = folder;
  // Set even when nothing differs: the next OK rewrites the file.
  m_data.m_modified = true;
}

bool ListEditorModel::Delete(int row) {
  if (!RequireSelection(row)) return false;
  auto first = m_data.m_lines.begin() + static_cast<std::ptrdiff_t>(PathIndex(row));
  m_data.m_lines.erase(first, first + 2);
  m_data.m_modified = true;
  return true;
}

int ListEditorModel::Move(int row, int delta) {
  if (row < 0 || row >= RowCount()) return -1;
  const int target = row + delta;
  if (target < 0 || target >= RowCount()) return row;
  std::swap(m_data.m_lines[PathIndex(row)], m_data.m_lines[PathIndex(target)]);
  std::swap(m_data.m_lines[PathIndex(row) + 1], m_data.m_lines[PathIndex(target) + 1]);
  m_data.m_modified = true;
  return target;
}

EditorEnd ListEditorModel::Save(const std::vector<std::string>& selectorNames) {
  return SaveListEditor(m_data, selectorNames, m_settings, m_prompts);
}

std::optional<UnstorableEntry> CheckEntryText(const std::string& path, const std::string& folder) {
  if (Storable(path) && Storable(folder)) return std::nullopt;
  const bool inFolder = Storable(path);
  const std::string field = inFolder ? "アップロードするフォルダ" : "アップロードするファイル";
  return UnstorableEntry{inFolder,
                         "「" + field + "」に使用できない文字が含まれています。\n" +
                             "リストファイル（シフトJIS）に保存できる文字だけを使ってください"};
}

}  // namespace tolvane
