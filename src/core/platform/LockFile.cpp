#include "platform/LockFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolvane {

int OpenLockFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace tolvane
