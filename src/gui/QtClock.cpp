#include "QtClock.h"

#include <QCoreApplication>
#include <chrono>
#include <ctime>
#include <thread>

namespace tolvane {

int64_t QtClock::Now() { return static_cast<int64_t>(std::time(nullptr)); }

void QtClock::SleepMs(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void QtClock::Pump() { QCoreApplication::processEvents(); }

}  // namespace tolvane
