#pragma once
// One running copy per program folder: a lock file beside kestra.ini, held for the life of
// the process. Two copies on one folder would both fire every due schedule entry, whatever
// user or runtime folder they run under.
#include <string>

namespace tolvane {

class ProgramFolderLock {
 public:
  // The lock file "tolvane.lock" in `folder`.
  explicit ProgramFolderLock(const std::string& folder);
  ~ProgramFolderLock();
  ProgramFolderLock(const ProgramFolderLock&) = delete;
  ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;

  // False only when another running copy holds the lock. The system drops the lock when its
  // holder ends, however it ends, so a file left behind (empty, damaged, naming a dead
  // process) never blocks. When no lock can be made at all (a read-only folder) the program
  // runs unguarded rather than not at all.
  bool Acquire();

  const std::string& folder() const { return m_folder; }

 private:
  std::string m_folder;
  int m_fd = -1;
};

// The message of a start refused because `folder` is in use.
std::string FolderInUseMessage(const std::string& folder);

}  // namespace tolvane
