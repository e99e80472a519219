#include "platform/SystemClock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace tolvane {

int64_t SystemClock::Now() { return static_cast<int64_t>(std::time(nullptr)); }

void SystemClock::SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Clock& TheSystemClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace tolvane
