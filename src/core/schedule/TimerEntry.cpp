#include "schedule/TimerEntry.h"

#include "platform/LocalTime.h"
#include "schedule/TimerCodeText.h"

namespace tolvane {

using timercode::Field;
using timercode::Last;

char Kind(std::string_view code) { return code.empty() ? '\0' : code[0]; }

bool IsKnownKind(std::string_view code) {
  char kind = Kind(code);
  return kind >= '1' && kind <= '5';
}

bool ShutdownAfter(std::string_view code) { return Field(code, 1, 1) == "1"; }

bool IsDueToday(std::string_view code, int64_t now) {
  switch (Kind(code)) {
    case '1':
      return Field(code, 2, 8) == FormatLocal(now, "%Y%m%d");
    case '2':
    case '5':
      return true;
    case '3':
      return Field(code, 2, 1) == FormatLocal(now, "%w");
    case '4':
      return Field(code, 2, 2) == FormatLocal(now, "%d");
    default:
      return false;
  }
}

bool MatchesMinute(std::string_view code, std::string_view hhmm) {
  if (Kind(code) == '5') return Last(code, 2) == Last(hhmm, 2);
  return Last(code, 4) == hhmm;
}

bool IsExpired(std::string_view code, int64_t now) {
  if (Kind(code) != '1') return false;
  return FormatLocal(now, "%Y%m%d%H%M") >= Last(code, 12);
}

namespace {

const char* const kWeekdayNames[] = {"毎週日曜日", "毎週月曜日", "毎週火曜日", "毎週水曜日",
                                     "毎週木曜日", "毎週金曜日", "毎週土曜日"};

std::string TimeOfDay(std::string_view code) {
  std::string_view hhmm = Last(code, 4);
  return std::string(Field(hhmm, 0, 2)) + "時" + std::string(Last(hhmm, 2)) + "分-";
}

// The whole UTF-8 character that starts at `pos` (a hand-edited file may hold any text).
std::string_view CharacterAt(std::string_view code, size_t pos) {
  size_t end = pos + 1;
  while (end < code.size() && (static_cast<unsigned char>(code[end]) & 0xC0) == 0x80) ++end;
  return Field(code, pos, end - pos);
}

std::string WeeklyBase(std::string_view code) {
  std::string_view weekday = CharacterAt(code, 2);
  // A damaged weekday shows as itself so the row can still be found and removed.
  if (weekday.size() != 1 || weekday[0] < '0' || weekday[0] > '6') return std::string(weekday);
  return kWeekdayNames[weekday[0] - '0'] + TimeOfDay(code);
}

std::string BaseText(std::string_view code) {
  switch (Kind(code)) {
    case '1':
      return std::string(Field(code, 2, 4)) + "年" + std::string(Field(code, 6, 2)) + "月" +
             std::string(Field(code, 8, 2)) + "日" + TimeOfDay(code);
    case '2':
      return "毎日" + TimeOfDay(code);
    case '3':
      return WeeklyBase(code);
    case '4':
      return "毎月" + std::string(Field(code, 2, 2)) + "日" + TimeOfDay(code);
    case '5':
      return "毎時間" + std::string(Last(code, 2)) + "分-";
    default:
      return std::string();
  }
}

}  // namespace

std::string DisplayText(const TimerEntry& entry) {
  if (!IsKnownKind(entry.code)) return std::string();
  std::string text = BaseText(entry.code);
  if (ShutdownAfter(entry.code)) text += "OFF-";
  return text + entry.listName;
}

}  // namespace tolvane
