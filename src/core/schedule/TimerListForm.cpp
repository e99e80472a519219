#include "schedule/TimerListForm.h"

#include <optional>

#include "platform/LineFile.h"
#include "schedule/TimerFile.h"

namespace tolvane {

TimerListForm::TimerListForm(const AppSettings& settings, Prompts& prompts)
    : m_settings(settings), m_prompts(prompts) {}

void TimerListForm::Load() {
  m_entries.clear();
  m_rows.clear();
  std::optional<std::vector<std::string>> lines = ReadTimerFile(m_settings);
  if (!lines) return;
  for (const TimerEntry& entry : PairEntries(*lines)) {
    if (IsKnownKind(entry.code)) Add(entry, DisplayText(entry));
  }
}

void TimerListForm::Add(const TimerEntry& entry, const std::string& rowText) {
  m_entries.push_back(entry);
  m_rows.push_back(rowText);
}

void TimerListForm::Replace(int row, const TimerEntry& entry, const std::string& rowText) {
  m_entries.at(static_cast<size_t>(row)) = entry;
  m_rows.at(static_cast<size_t>(row)) = rowText;
}

bool TimerListForm::RequireSelection(int row) {
  if (row >= 0 && row < RowCount()) return true;
  m_prompts.Error("タイマー設定が選択されていません");
  return false;
}

bool TimerListForm::Delete(int row) {
  if (!RequireSelection(row)) return false;
  m_entries.erase(m_entries.begin() + row);
  m_rows.erase(m_rows.begin() + row);
  return true;
}

bool TimerListForm::Save(ScheduleTicker& ticker) {
  switch (WriteTimerFile(m_settings, EntryLines(m_entries))) {
    case LineWrite::Ok:
      ticker.RebuildDaySelection();
      return true;
    case LineWrite::Unencodable:
      // Only a list name can hold such text; keep the dialog open so the entry can go.
      m_prompts.Error("タイマー設定ファイルに保存できない文字を含むリスト名があります");
      return false;
    case LineWrite::Failed:
      break;
  }
  // The file stays as it was; the dialog closes all the same.
  m_prompts.Error("タイマー設定ファイルの更新ができませんでした");
  return true;
}

}  // namespace tolvane
