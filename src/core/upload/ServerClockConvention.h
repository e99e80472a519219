#pragma once
// How the upload run and the clock check read a server's times: as Japan Standard Time wall
// clocks (UTC + 9 hours, no daylight saving) read as UTC, whatever the PC's time zone. A UTC
// time is moved on by the nine hours; a listed wall-clock time is taken as it stands, the
// server being assumed to list in Japan time. The comparison takes the nine hours back off,
// so with no clock correction it is exact on any server that reports UTC.
#include <cstdint>

#include "ftp/FtpFileFinder.h"

namespace tolvane {

inline constexpr int64_t kServerClockShift = 32400;

// A found file's time in that convention.
inline int64_t ServerWallClock(const RemoteLookup& found) {
  return found.basis == TimeBasis::Utc ? found.time + kServerClockShift : found.time;
}

}  // namespace tolvane
