#pragma once
// Local times for schedule tests: a fixed time zone for the test's length, and seconds since
// 1970 for a wall-clock time in it.
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace tolvane::test {

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* tz) {
    if (const char* old = std::getenv("TZ")) m_old = old;
    setenv("TZ", tz, 1);
    tzset();
  }
  ~ScopedTimeZone() {
    m_old ? setenv("TZ", m_old->c_str(), 1) : unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> m_old;
};

inline int64_t LocalSeconds(int year, int month, int day, int hour = 0, int minute = 0,
                            int second = 0) {
  struct tm t {};
  t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
  t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second, t.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&t));
}

}  // namespace tolvane::test
