#include "window/ProgramFolderLock.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/LockFile.h"

namespace tolvane {

ProgramFolderLock::ProgramFolderLock(const std::string& folder) : m_folder(folder) {}

ProgramFolderLock::~ProgramFolderLock() {
  // Closing releases the lock; the file stays, since removing it would race a copy that has
  // just opened it.
  if (m_fd >= 0) ::close(m_fd);
}

bool ProgramFolderLock::Acquire() {
  const std::string path = m_folder + "/tolvane.lock";
  const int fd = OpenLockFile(path);
  if (fd < 0) return true;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  // For a person looking at the folder: which process holds it.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.data(), pid.size()) < 0) {
    // The content is only informative; the lock itself is held.
  }
  m_fd = fd;
  return true;
}

std::string FolderInUseMessage(const std::string& folder) {
  return "すでに起動しています。\n使用中のフォルダ: " + folder;
}

}  // namespace tolvane
