#include "lists/ListStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/LineFile.h"

namespace tolvane {
namespace {

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Renames without ever replacing an existing file.
bool RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without the flag: a hard link fails when the target exists.
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace

std::string ListFolder(const AppSettings& settings) { return PathBesideExe(settings, "list"); }

std::string ListFilePath(const AppSettings& settings, const std::string& name) {
  return ListFolder(settings) + "/" + name + ".ini";
}

std::optional<std::vector<std::string>> ReadListLines(const AppSettings& settings,
                                                      const std::string& name) {
  return ReadLineFile(ListFilePath(settings, name));
}

std::optional<UploadList> ReadListFile(const AppSettings& settings, const std::string& name) {
  std::optional<std::vector<std::string>> lines = ReadListLines(settings, name);
  if (!lines) return std::nullopt;
  UploadList list{name, {}};
  for (size_t i = 0; i + 1 < lines->size(); i += 2) {
    list.entries.push_back({(*lines)[i], (*lines)[i + 1]});
  }
  return list;
}

ListWrite WriteListFile(const AppSettings& settings, const std::string& name,
                        const std::vector<std::string>& lines) {
  const std::string folder = ListFolder(settings);
  bool entered = false;
  for (int attempt = 0; attempt < 2 && !entered; ++attempt) {
    entered = IsFolder(folder);
    if (!entered) ::mkdir(folder.c_str(), 0777);  // a failure shows in the next attempt
  }
  if (!entered) return ListWrite::FolderUnavailable;
  switch (WriteLineFile(ListFilePath(settings, name), lines)) {
    case LineWrite::Ok:
      return ListWrite::Done;
    case LineWrite::Unencodable:
      return ListWrite::Unencodable;
    case LineWrite::Failed:
      break;
  }
  return ListWrite::CannotCreate;
}

bool RenameListFile(const AppSettings& settings, const std::string& oldName,
                    const std::string& newName) {
  return RenameNoReplace(ListFilePath(settings, oldName), ListFilePath(settings, newName));
}

bool DeleteListFile(const AppSettings& settings, const std::string& name) {
  return ::unlink(ListFilePath(settings, name).c_str()) == 0;
}

std::vector<std::string> FindListNames(const AppSettings& settings) {
  std::vector<std::string> names;
  const std::string folder = ListFolder(settings);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) {
    std::string file = entry->d_name;
    if (file.size() < 4 || file.compare(file.size() - 4, 4, ".ini") != 0) continue;
    if (!IsRegularFile(folder + "/" + file)) continue;
    names.push_back(file.substr(0, file.size() - 4));
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

std::string DisplayName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasForbiddenListChar(const std::string& name) {
  return name.find_first_of(kForbiddenListChars) != std::string::npos;
}

}  // namespace tolvane
