#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>

namespace tolvane {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

unsigned DefaultMode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666u & ~static_cast<unsigned>(mask);
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool ReadAll(int fd, std::string& out) {
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    out.append(buffer, static_cast<size_t>(n));
  }
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::optional<unsigned> mode) {
  struct stat old {};
  const bool exists = ::lstat(path.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) return false;
  unsigned finalMode = mode ? *mode : exists ? (old.st_mode & 07777) : DefaultMode();

  std::string temp = FolderOf(path) + "/" + std::string(kTemporaryPrefix) + "XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  // mkstemp creates 0600; the password file must never be readable by others, even briefly.
  bool ok = ::fchmod(fd, finalMode) == 0 && WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  // O_NONBLOCK keeps a FIFO from holding open() until a writer comes; O_NOFOLLOW refuses a
  // symlink. Neither changes how a regular file reads.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  std::string out;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ReadAll(fd, out);
  ::close(fd);
  if (!ok) return std::nullopt;
  return out;
}

bool IsIrregularFile(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

void RemoveStaleTemporaryFiles(const std::string& folder, int64_t now) {
  constexpr int64_t kStaleSeconds = 60;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    // Only the exact shape mkstemp gave our own temporary files.
    if (name.size() != kTemporaryPrefix.size() + 6 || !name.starts_with(kTemporaryPrefix)) continue;
    struct stat st {};
    if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || now - static_cast<int64_t>(st.st_mtime) <= kStaleSeconds) continue;
    ::unlinkat(dirFd, entry->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace tolvane
