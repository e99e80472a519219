#pragma once
// The machine's own clock, for code that runs without a window: it sleeps for real and has no
// events to pump.
#include "Seams.h"

namespace tolvane {

class SystemClock : public Clock {
 public:
  int64_t Now() override;
  void SleepMs(int ms) override;
  void Pump() override {}
};

// One shared instance, for callers that were given no clock.
Clock& TheSystemClock();

}  // namespace tolvane
