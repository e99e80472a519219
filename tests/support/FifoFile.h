#pragma once
// A FIFO in place of a file the program reads: opening one for reading waits for a writer
// for good. ReturnsPromptly runs a reading call with a deadline and, if it hangs, frees it by
// opening the writing end as often as needed, so a failing test reports instead of hanging the suite.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

namespace tolvane::test {

inline bool MakeFifo(const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

inline bool ReturnsPromptly(const std::string& fifo, const std::function<void()>& call) {
  std::future<void> done = std::async(std::launch::async, call);
  if (done.wait_for(std::chrono::seconds(2)) == std::future_status::ready) return true;
  // Each writer that comes and goes lets one blocked open() return, until the call is through.
  while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) ::close(writer);
  }
  return false;
}

}  // namespace tolvane::test
