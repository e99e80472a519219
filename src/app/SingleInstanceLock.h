#pragma once
#include <QLockFile>
#include <QString>

namespace tolvane {

// One running copy per user: a lock file in the user's runtime folder, held for the life of
// the process. A lock left behind by a copy that crashed does not count.
class SingleInstanceLock {
 public:
  // The lock file "tolvane.lock" in `folder`; by default the user's runtime folder.
  explicit SingleInstanceLock(const QString& folder = DefaultFolder());

  // False only when another running copy holds the lock. When the lock cannot be made at
  // all (no runtime folder, no permission) the program runs unguarded rather than not at all.
  bool Acquire();

  static QString DefaultFolder();

 private:
  QLockFile lock_;
};

}  // namespace tolvane
