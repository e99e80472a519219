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

}  // namespace tolvane
