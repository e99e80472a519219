#pragma once
// Local-time formatting with the C library's formats; every time comparison of the program
// compares such texts.
#include <cstdint>
#include <string>

namespace tolvane {

// `t` (seconds since 1970, UTC) formatted in the local time zone with strftime's `format`.
std::string FormatLocal(int64_t t, const char* format);

struct LocalDate {
  int year;   // e.g. 2026
  int month;  // 1-12
  int day;    // 1-31
};
LocalDate LocalDateOf(int64_t t);

}  // namespace tolvane
