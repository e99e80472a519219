#include "upload/RunLock.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/LockFile.h"

namespace tolvane {
namespace {

constexpr int kRetryMs = 100;

}  // namespace

RunLock::RunLock(const std::string& folder) : m_path(folder + "/run.lock") {}

RunLock::~RunLock() {
  if (m_fd >= 0) ::close(m_fd);
}

bool RunLock::Acquire(Clock& clock, int waitMs) {
  const int fd = OpenLockFile(m_path);
  if (fd < 0) return true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) break;  // no locking here: run unguarded
    if (errno == EWOULDBLOCK && std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return false;
    }
    // Real time, not the clock's: a window's clock may be a test's, standing still.
    clock.Pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
  }
  m_fd = fd;
  return true;
}

}  // namespace tolvane
