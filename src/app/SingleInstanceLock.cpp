#include "app/SingleInstanceLock.h"

#include <QStandardPaths>

namespace tolvane {

SingleInstanceLock::SingleInstanceLock(const QString& folder)
    : lock_(folder + QStringLiteral("/tolvane.lock")) {
  // The lock is held for as long as the program runs, so its age says nothing; only a lock
  // whose process has gone is stale.
  lock_.setStaleLockTime(0);
}

bool SingleInstanceLock::Acquire() {
  if (lock_.tryLock(0)) return true;
  return lock_.error() != QLockFile::LockFailedError;
}

QString SingleInstanceLock::DefaultFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

}  // namespace tolvane
