#include "platform/LocalTime.h"

#include <ctime>

namespace tolvane {

std::string FormatLocal(int64_t t, const char* format) {
  time_t tt = static_cast<time_t>(t);
  struct tm tmv {};
  if (!localtime_r(&tt, &tmv)) return std::string();
  char buffer[256];
  size_t n = strftime(buffer, sizeof buffer, format, &tmv);
  return std::string(buffer, n);
}

LocalDate LocalDateOf(int64_t t) {
  time_t tt = static_cast<time_t>(t);
  struct tm tmv {};
  localtime_r(&tt, &tmv);
  return {tmv.tm_year + 1900, tmv.tm_mon + 1, tmv.tm_mday};
}

}  // namespace tolvane
