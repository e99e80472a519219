#pragma once
// The timer list dialog's working copy of the schedule and what its buttons do to it. The
// dialog only mirrors this in its list box: row i shows entry i at all times. Nothing reaches
// timer.ini before Save.
#include <string>
#include <vector>

#include "Seams.h"
#include "schedule/ScheduleTicker.h"
#include "schedule/TimerEntry.h"
#include "settings/AppSettings.h"

namespace tolvane {

class TimerListForm {
 public:
  TimerListForm(const AppSettings& settings, Prompts& prompts);

  // Reads timer.ini: one row for every entry of a known kind; the others are dropped (and so
  // are gone after the next Save). No file is an empty schedule.
  void Load();

  int RowCount() const { return static_cast<int>(m_rows.size()); }
  const std::string& RowText(int row) const { return m_rows.at(static_cast<size_t>(row)); }
  const TimerEntry& Entry(int row) const { return m_entries.at(static_cast<size_t>(row)); }
  // What Save writes.
  const std::vector<TimerEntry>& Entries() const { return m_entries; }

  void Add(const TimerEntry& entry, const std::string& rowText);
  void Replace(int row, const TimerEntry& entry, const std::string& rowText);

  // Edit and Delete need a selected row (-1: none); false, after telling the user, without.
  bool RequireSelection(int row);
  bool Delete(int row);

  // The OK button: writes the working copy over timer.ini (on every OK, changed or not) and
  // rebuilds the day selection. Returns false when the dialog must stay open.
  bool Save(ScheduleTicker& ticker);

 private:
  const AppSettings& m_settings;
  Prompts& m_prompts;
  std::vector<TimerEntry> m_entries;
  std::vector<std::string> m_rows;
};

}  // namespace tolvane
