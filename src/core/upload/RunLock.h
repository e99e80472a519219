#pragma once
// One upload at a time per program folder: the window's runs (button or schedule) and those of
// the command line take the lock file "run.lock" for the length of a run, so that two of them
// never touch the same server at once. The system drops the lock when its holder ends, however
// it ends.
#include <string>

#include "Seams.h"

namespace tolvane {

// How long a run waits for another one to finish before it gives up.
inline constexpr int kRunLockWaitMs = 10000;

inline constexpr const char* kOtherRunText =
    "ほかのアップロード（別のウィンドウやコマンドライン）が実行中です。終わってからやり直してく"
    "ださい";

class RunLock {
 public:
  explicit RunLock(const std::string& folder);
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  // Waits up to `waitMs` for the lock, pumping `clock` meanwhile. False only when another run
  // still holds it; a folder where no lock can be made at all (read-only) lets the run go on.
  bool Acquire(Clock& clock, int waitMs = kRunLockWaitMs);

 private:
  std::string m_path;
  int m_fd = -1;
};

}  // namespace tolvane
