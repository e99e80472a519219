#pragma once
// Upload lists: one file per list in the folder "list" beside the executable, named after the
// list with ".ini", holding a path line and a folder line per entry.
#include <optional>
#include <string>
#include <vector>

#include "app/AppSettings.h"

namespace tolvane {

struct UploadEntry {
  std::string localPath;
  std::string remoteFolder;  // may be empty
};

struct UploadList {
  std::string name;
  std::vector<UploadEntry> entries;
};

std::string ListFolder(const AppSettings& settings);
std::string ListFilePath(const AppSettings& settings, const std::string& name);

// The list, or nullopt when its file cannot be opened. An unpaired last line is dropped.
std::optional<UploadList> ReadListFile(const AppSettings& settings, const std::string& name);

// Every line of the list's file, or nullopt when it cannot be opened.
std::optional<std::vector<std::string>> ReadListLines(const AppSettings& settings,
                                                      const std::string& name);

enum class ListWrite { Done, FolderUnavailable, CannotCreate, Unencodable };

// Writes the lines (path, folder, path, folder, ...) as the list's file. The list folder is
// created when it cannot be entered, and two attempts are made.
ListWrite WriteListFile(const AppSettings& settings, const std::string& name,
                        const std::vector<std::string>& lines);

// False when the old file is missing, the new one exists, or the system refuses.
bool RenameListFile(const AppSettings& settings, const std::string& oldName,
                    const std::string& newName);
bool DeleteListFile(const AppSettings& settings, const std::string& name);

// The list names found in the list folder (files ending in ".ini"), sorted by name.
std::vector<std::string> FindListNames(const AppSettings& settings);

// What the file list shows for a path: the part after the last '/'.
std::string DisplayName(const std::string& path);

// Characters a list name may not hold.
inline constexpr const char* kForbiddenListChars = "\\/:*?\"<>|";
bool HasForbiddenListChar(const std::string& name);

}  // namespace tolvane
