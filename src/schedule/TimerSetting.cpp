#include "schedule/TimerSetting.h"

#include <cstdio>

namespace tolvane {
namespace {

// The editor's numbers are small, but a wild value must still fit.
template <typename... Args>
std::string Format(const char* format, Args... args) {
  char buffer[160];
  int n = std::snprintf(buffer, sizeof buffer, format, args...);
  if (n < 0) return std::string();
  size_t length = static_cast<size_t>(n);
  return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
}

const char* const kWeekdayChars[] = {"日", "月", "火", "水", "木", "金", "土"};

std::string BaseText(const TimerSetting& s) {
  switch (s.kind) {
    case 1:
      return Format("%d年%02d月%02d日%02d時%02d分-", s.year, s.month, s.day, s.hour, s.minute);
    case 2:
      return Format("毎日%02d時%02d分-", s.hour, s.minute);
    case 3:
      // Out of range only by mistake; show it the way the stored code would be shown.
      if (s.weekday < 0 || s.weekday > 6) return Format("%d", s.weekday);
      return Format("毎週%s曜日%02d時%02d分-", kWeekdayChars[s.weekday], s.hour, s.minute);
    case 4:
      return Format("毎月%02d日%02d時%02d分-", s.day, s.hour, s.minute);
    case 5:
      return Format("毎時間%02d分-", s.minute);
    default:
      return std::string();
  }
}

}  // namespace

std::string EntryCode(const TimerSetting& s) {
  int flag = s.shutdown ? 1 : 0;
  switch (s.kind) {
    case 1:
      return Format("1%1d%4d%02d%02d%02d%02d", flag, s.year, s.month, s.day, s.hour, s.minute);
    case 2:
      return Format("2%1d%02d%02d", flag, s.hour, s.minute);
    case 3:
      return Format("3%1d%1d%02d%02d", flag, s.weekday, s.hour, s.minute);
    case 4:
      return Format("4%1d%02d%02d%02d", flag, s.day, s.hour, s.minute);
    case 5:
      return Format("5%1d%02d", flag, s.minute);
    default:
      return std::string();
  }
}

std::string DisplayText(const TimerSetting& setting, const std::string& listName) {
  std::string text = BaseText(setting);
  if (text.empty()) return text;
  if (setting.shutdown) text += "OFF-";
  return text + listName;
}

}  // namespace tolvane
