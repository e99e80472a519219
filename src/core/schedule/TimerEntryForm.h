#pragma once
// The entry editor ("設定追加" / "設定編集") as plain data: what its controls hold, which of
// them the chosen kind enables, and what its OK makes of them. The dialog copies its controls
// into a TimerEntryForm and back; every decision is taken here.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Seams.h"
#include "schedule/TimerEntry.h"

namespace tolvane {

// The four whole-number edit boxes, in the order OK reads them.
enum class EntryField { Month = 0, Day = 1, Hour = 2, Minute = 3 };
inline constexpr int kEntryFieldCount = 4;

// The kind combo (index 0 to 4 = kind digits 1 to 5) and the weekday combo (0 Sunday).
inline constexpr std::array<const char*, 5> kKindNames = {"日時", "毎日", "毎週", "毎月", "毎時間"};
inline constexpr std::array<const char*, 7> kWeekdayNames = {"日", "月", "火", "水",
                                                             "木", "金", "土"};

struct TimerEntryForm {
  int kind = -1;     // selected index of the kind combo; -1 none
  int weekday = -1;  // selected index of the weekday combo; -1 none
  std::array<std::string, kEntryFieldCount> text = {"0", "0", "0", "0"};
  std::array<bool, kEntryFieldCount> enabled = {true, true, true, true};
  bool weekdayEnabled = true;
  std::vector<std::string> lists;  // the list combo: the main window's selector, in its order
  int list = -1;                   // selected index of the list combo; -1 none
  bool shutdown = false;           // "実行後Windowsを終了"

  const std::string& Text(EntryField field) const { return text[static_cast<size_t>(field)]; }
  bool Enabled(EntryField field) const { return enabled[static_cast<size_t>(field)]; }
};

// A form for adding: kind "日時" with its fields enabled, every field 0, no list chosen.
TimerEntryForm NewEntryForm(std::vector<std::string> lists);

// Enables the fields the selected kind uses (the minute always); "毎週" also resets the
// weekday to "日". Disabled fields keep what they hold.
void ApplyKindRule(TimerEntryForm& form);

// Shows a stored entry: its kind, flag and fields from the code's digits, and its list.
void LoadEntryForEdit(TimerEntryForm& form, const TimerEntry& entry);

// What OK ended in.
struct EntryConfirm {
  enum class Outcome {
    Saved,         // `entry` and `rowText` hold the new entry
    NotAnInteger,  // the prompt was shown; `field` should get the focus
    Refused,       // a message was shown; the editor stays open unchanged
  };
  Outcome outcome = Outcome::Refused;
  EntryField field = EntryField::Month;
  TimerEntry entry;
  std::string rowText;
};

// The editor's OK: reads the fields (disabled ones too), checks the choices and the date and
// time, and builds the entry. `now` chooses the year of a one-shot entry.
EntryConfirm ConfirmEntry(const TimerEntryForm& form, Prompts& prompts, int64_t now);

// The year of a one-shot entry: this year, or the next when its moment has passed this year.
int ComputeYear(int month, int day, int hour, int minute, int64_t now);

bool IsLeapYear(int year);

}  // namespace tolvane
