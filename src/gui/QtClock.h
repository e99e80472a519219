#pragma once
#include "Seams.h"

namespace tolvane {

// The system clock; Pump lets Qt handle queued events (painting above all) during long work.
class QtClock : public Clock {
 public:
  int64_t Now() override;
  void SleepMs(int ms) override;
  void Pump() override;
};

}  // namespace tolvane
