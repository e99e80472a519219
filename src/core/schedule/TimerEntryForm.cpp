#include "schedule/TimerEntryForm.h"

#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/AsciiText.h"
#include "platform/IntegerText.h"
#include "platform/LocalTime.h"
#include "schedule/TimerCodeText.h"
#include "schedule/TimerSetting.h"

namespace tolvane {
namespace {

using timercode::Field;
using timercode::Last;

// Which fields each kind uses: month, day, hour, minute; and the weekday combo.
struct KindFields {
  std::array<bool, kEntryFieldCount> fields;
  bool weekday;
};
constexpr std::array<KindFields, 5> kKindFields = {{
    {{true, true, true, true}, false},     // 日時
    {{false, false, true, true}, false},   // 毎日
    {{false, false, true, true}, true},    // 毎週
    {{false, true, true, true}, false},    // 毎月
    {{false, false, false, true}, false},  // 毎時間
}};

constexpr int kWeeklyIndex = 2;

// A stored digit field read the way the editor shows it; damaged digits show as 0.
int StoredNumber(std::string_view digits) { return ReadInteger(digits).value_or(0); }

void SetField(TimerEntryForm& form, EntryField field, int value) {
  form.text[static_cast<size_t>(field)] = std::to_string(value);
}

// Hour and minute from the last four characters of the code.
void SetHourMinute(TimerEntryForm& form, std::string_view code) {
  const std::string_view hhmm = Last(code, 4);
  SetField(form, EntryField::Hour, StoredNumber(Field(hhmm, 0, 2)));
  SetField(form, EntryField::Minute, StoredNumber(Field(hhmm, 2, 2)));
}

// The list the entry names. Linux file names tell "Web" from "web", so an exact match wins;
// otherwise the first match ignoring case, as on the system the schedule files come from.
int FindList(const std::vector<std::string>& lists, const std::string& name) {
  for (size_t i = 0; i < lists.size(); ++i) {
    if (lists[i] == name) return static_cast<int>(i);
  }
  for (size_t i = 0; i < lists.size(); ++i) {
    if (EqualsIgnoringAsciiCase(lists[i], name)) return static_cast<int>(i);
  }
  return -1;
}

bool ValidTime(const TimerSetting& s) {
  return s.hour >= 0 && s.hour <= 23 && s.minute >= 0 && s.minute <= 59;
}

bool ValidMonthDay(int month, int day) {
  if (month < 1 || month > 12 || day < 1 || day > 31) return false;
  if (month == 2) return day <= 29;
  if (month == 4 || month == 6 || month == 9 || month == 11) return day <= 30;
  return true;
}

// The date and time rules of each kind; a one-shot entry also gets its year here.
bool CheckSetting(TimerSetting& s, int64_t now) {
  switch (s.kind) {
    case 1:
      if (!ValidMonthDay(s.month, s.day) || !ValidTime(s)) return false;
      s.year = ComputeYear(s.month, s.day, s.hour, s.minute, now);
      return !(s.month == 2 && s.day == 29 && !IsLeapYear(s.year));
    case 2:
      return ValidTime(s);
    case 3:
      return ValidTime(s) && s.weekday >= 0 && s.weekday <= 6;
    case 4:
      return s.day >= 1 && s.day <= 31 && ValidTime(s);
    case 5:
      return s.minute >= 0 && s.minute <= 59;  // the hour is not looked at
    default:
      return false;
  }
}

}  // namespace

TimerEntryForm NewEntryForm(std::vector<std::string> lists) {
  TimerEntryForm form;
  form.lists = std::move(lists);
  form.kind = 0;
  ApplyKindRule(form);
  return form;
}

void ApplyKindRule(TimerEntryForm& form) {
  if (form.kind < 0 || form.kind >= static_cast<int>(kKindFields.size())) return;
  const KindFields& rule = kKindFields[static_cast<size_t>(form.kind)];
  form.enabled = rule.fields;
  form.weekdayEnabled = rule.weekday;
  if (form.kind == kWeeklyIndex) form.weekday = 0;
}

void LoadEntryForEdit(TimerEntryForm& form, const TimerEntry& entry) {
  const std::string_view code = entry.code;
  const char kind = Kind(code);
  form.kind = kind >= '1' && kind <= '5' ? kind - '1' : -1;
  ApplyKindRule(form);
  form.shutdown = StoredNumber(Field(code, 1, 1)) == 1;

  switch (kind) {
    case '1':
      SetField(form, EntryField::Month, StoredNumber(Field(code, 6, 2)));
      SetField(form, EntryField::Day, StoredNumber(Field(code, 8, 2)));
      SetField(form, EntryField::Hour, StoredNumber(Field(code, 10, 2)));
      SetField(form, EntryField::Minute, StoredNumber(Field(code, 12, 2)));
      break;
    case '2':
      SetHourMinute(form, code);
      break;
    case '3': {
      // A damaged weekday digit leaves "日", where the kind rule put the selection.
      const int weekday = StoredNumber(Field(code, 2, 1));
      if (weekday >= 0 && weekday <= 6) form.weekday = weekday;
      SetHourMinute(form, code);
      break;
    }
    case '4':
      SetField(form, EntryField::Day, StoredNumber(Field(code, 2, 2)));
      SetHourMinute(form, code);
      break;
    case '5':
      SetField(form, EntryField::Minute, StoredNumber(Last(code, 2)));
      break;
    default:
      break;
  }
  form.list = FindList(form.lists, entry.listName);
}

EntryConfirm ConfirmEntry(const TimerEntryForm& form, Prompts& prompts, int64_t now) {
  EntryConfirm result;
  std::array<int, kEntryFieldCount> value{};
  for (int i = 0; i < kEntryFieldCount; ++i) {
    std::optional<int32_t> number = ReadInteger(form.text[static_cast<size_t>(i)]);
    if (!number) {
      prompts.Show(kIntegerPrompt, kAppName, Icon::Warning, Buttons::Ok);
      result.outcome = EntryConfirm::Outcome::NotAnInteger;
      result.field = static_cast<EntryField>(i);
      return result;
    }
    value[static_cast<size_t>(i)] = *number;
  }
  if (form.kind < 0 || form.kind >= static_cast<int>(kKindNames.size())) {
    prompts.Error("回数が選択されていません");
    return result;
  }
  if (form.list < 0 || form.list >= static_cast<int>(form.lists.size())) {
    prompts.Error("アップロードするリストが選択されていません");
    return result;
  }
  const std::string& listName = form.lists[static_cast<size_t>(form.list)];

  TimerSetting setting;
  setting.kind = form.kind + 1;
  setting.shutdown = form.shutdown;
  setting.month = value[0];
  setting.day = value[1];
  setting.hour = value[2];
  setting.minute = value[3];
  setting.weekday = form.weekday;
  if (!CheckSetting(setting, now)) {
    prompts.Error("日時の設定が正しくありません");
    return result;
  }
  result.outcome = EntryConfirm::Outcome::Saved;
  result.entry = {EntryCode(setting), listName};
  result.rowText = DisplayText(result.entry);
  return result;
}

int ComputeYear(int month, int day, int hour, int minute, int64_t now) {
  char entered[64];
  std::snprintf(entered, sizeof entered, "%02d%02d%02d%02d", month, day, hour, minute);
  const int year = LocalDateOf(now).year;
  // Byte-wise, as the stored stamps are compared: a moment already past this year is next
  // year's; the current minute itself still counts as this year.
  return FormatLocal(now, "%m%d%H%M") > std::string(entered) ? year + 1 : year;
}

bool IsLeapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

}  // namespace tolvane
