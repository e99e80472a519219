#pragma once
// The lock files of the program folder: plain files locked with flock, which the system
// releases when their holder ends, however it ends.
#include <string>

namespace tolvane {

// Opens (creating it, 0600) the lock file at `path` without following a symlink or waiting on
// a FIFO; -1 when no lock can be had there (a read-only folder, something else in its place).
int OpenLockFile(const std::string& path);

}  // namespace tolvane
