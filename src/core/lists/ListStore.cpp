#include "lists/ListStore.h"
#include "platform/AsciiText.h"
#include "platform/Cp932.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/AtomicFile.h"
#include "platform/LineFile.h"

namespace tolvane {
namespace {

// As entering the folder would: it must be a folder we may search.
bool CanEnterFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::faccessat(AT_FDCWD, path.c_str(), X_OK, AT_EACCESS) == 0;
}

bool LessIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(ToLowerAscii(x)) <
           static_cast<unsigned char>(ToLowerAscii(y));
  });
}

bool EndsWithIni(const std::string& file) {
  return file.size() >= 4 && file.compare(file.size() - 4, 4, ".ini") == 0;
}

// The ".ini" names in the list folder, split by whether they are regular files.
void ScanListFolder(const AppSettings& settings, std::vector<std::string>* regular,
                    std::vector<std::string>* irregular) {
  const std::string folder = ListFolder(settings);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    std::string file = entry->d_name;
    if (!EndsWithIni(file)) continue;
    std::vector<std::string>* into = IsIrregularFile(folder + "/" + file) ? irregular : regular;
    if (into) into->push_back(file);
  }
  ::closedir(dir);
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

bool IsListFileName(const std::string& name) {
  return name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

std::string ResolveListPath(const AppSettings& settings, const std::string& localPath) {
  if (localPath.empty() || localPath.front() == '/') return localPath;
  return ListFolder(settings) + "/" + localPath;
}

std::optional<UploadList> ReadListFile(const AppSettings& settings, const std::string& name,
                                       UnpairedLine unpaired) {
  if (!IsListFileName(name)) return std::nullopt;
  std::optional<std::vector<std::string>> lines = ReadLineFile(ListFilePath(settings, name));
  if (!lines) return std::nullopt;
  UploadList list{name, {}};
  list.entries.reserve(lines->size() / 2 + 1);
  for (size_t i = 0; i < lines->size(); i += 2) {
    if (i + 1 < lines->size()) {
      list.entries.push_back({std::move((*lines)[i]), std::move((*lines)[i + 1])});
    } else if (unpaired == UnpairedLine::AsEntry) {
      list.entries.push_back({std::move((*lines)[i]), ""});
    }
  }
  return list;
}

bool FitsListFile(const std::string& text) {
  return FitsCp932(text) && text.find('\n') == std::string::npos;
}

ListWrite WriteListFile(const AppSettings& settings, const std::string& name,
                        const std::vector<UploadEntry>& entries) {
  std::vector<std::string> lines;
  lines.reserve(entries.size() * 2);
  for (const UploadEntry& entry : entries) {
    lines.push_back(entry.localPath);
    lines.push_back(entry.remoteFolder);
  }
  if (!IsListFileName(name)) return ListWrite::CannotCreate;
  const std::string folder = ListFolder(settings);
  bool entered = false;
  for (int attempt = 0; attempt < 2 && !entered; ++attempt) {
    entered = CanEnterFolder(folder);
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
  if (!IsListFileName(oldName) || !IsListFileName(newName)) return false;
  return RenameNoReplace(ListFilePath(settings, oldName), ListFilePath(settings, newName));
}

bool DeleteListFile(const AppSettings& settings, const std::string& name) {
  if (!IsListFileName(name)) return false;
  return ::unlink(ListFilePath(settings, name).c_str()) == 0;
}

std::vector<std::string> FindListNames(const AppSettings& settings) {
  std::vector<std::string> names;
  ScanListFolder(settings, &names, nullptr);
  for (std::string& file : names) file.resize(file.size() - 4);
  // Ties only between names that differ in case: keep those in byte order.
  std::sort(names.begin(), names.end());
  std::stable_sort(names.begin(), names.end(), LessIgnoringAsciiCase);
  return names;
}

std::vector<std::string> FindIrregularListFiles(const AppSettings& settings) {
  std::vector<std::string> files;
  ScanListFolder(settings, nullptr, &files);
  std::sort(files.begin(), files.end());
  return files;
}

std::string DisplayName(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasForbiddenListChar(const std::string& name) {
  return name.find_first_of(kForbiddenListChars) != std::string::npos;
}

}  // namespace tolvane
