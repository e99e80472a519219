#pragma once
// Writes that fail on purpose, also for root (who ignores permissions): a disk that fills up
// part-way through a write, and a folder nobody may change.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace tolvane::test {

// While it lives, no file of this process may grow beyond `bytes`: a write past that point
// fails with EFBIG, as a full disk fails it, in the middle of the file.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &m_old);
    m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // EFBIG instead of being killed
    rlimit limit = m_old;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &m_old);
    std::signal(SIGXFSZ, m_oldHandler);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit m_old{};
  void (*m_oldHandler)(int);
};

// A folder in which nothing can be created, renamed or removed: read-only permissions for
// an ordinary user, the immutable attribute for root. active() is false where neither can be
// had (root without CAP_LINUX_IMMUTABLE, a file system without the attribute).
class UnwritableFolder {
 public:
  explicit UnwritableFolder(std::string path) : m_path(std::move(path)) {
    if (geteuid() != 0) {
      m_active = chmod(m_path.c_str(), 0555) == 0;
      m_byMode = true;
      return;
    }
    m_active = SetImmutable(true);
  }
  ~UnwritableFolder() {
    if (!m_active) return;
    if (m_byMode) {
      chmod(m_path.c_str(), 0755);
    } else {
      SetImmutable(false);
    }
  }
  UnwritableFolder(const UnwritableFolder&) = delete;
  UnwritableFolder& operator=(const UnwritableFolder&) = delete;
  bool active() const { return m_active; }

 private:
  bool SetImmutable(bool on) {
    int fd = open(m_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
      flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    close(fd);
    return ok;
  }

  std::string m_path;
  bool m_active = false;
  bool m_byMode = false;
};

// Names in a folder, sorted: a failed write must leave no temporary file behind.
inline std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tolvane::test
