#pragma once
// Upload lists: one file per list in the folder "list" beside the executable, named after the
// list with ".ini", holding a path line and a folder line per entry.
#include <optional>
#include <string>
#include <vector>

#include "settings/AppSettings.h"

namespace tolvane {

struct UploadEntry {
  std::string localPath;
  std::string remoteFolder;  // may be empty
  bool operator==(const UploadEntry&) const = default;
};

struct UploadList {
  std::string name;
  std::vector<UploadEntry> entries;
};

std::string ListFolder(const AppSettings& settings);
std::string ListFilePath(const AppSettings& settings, const std::string& name);

// A name that can only name a file inside the list folder: no '/', no NUL, not "." or "..".
// Names from anywhere (timer.ini, the settings file, a dialog) pass here before any file
// operation; every operation below fails for any other name.
bool IsListFileName(const std::string& name);

// A list entry's local path as the upload and the file commands use it: a relative path
// counts from the list folder, the folder a list's relative paths were written against.
std::string ResolveListPath(const AppSettings& settings, const std::string& localPath);

// What becomes of an unpaired last line (never written by this program): the run drops it;
// the window and the list editor show it as an entry without a folder, so nothing the file
// holds is hidden from the person.
enum class UnpairedLine { Drop, AsEntry };

// The list, or nullopt when its file cannot be opened.
std::optional<UploadList> ReadListFile(const AppSettings& settings, const std::string& name,
                                       UnpairedLine unpaired = UnpairedLine::Drop);

enum class ListWrite { Done, FolderUnavailable, CannotCreate, Unencodable };

// Writes the entries as the list's file, a path line and a folder line each. The list folder is
// created when it cannot be entered, and two attempts are made.
ListWrite WriteListFile(const AppSettings& settings, const std::string& name,
                        const std::vector<UploadEntry>& entries);

// False when the old file is missing, the new one exists, or the system refuses.
bool RenameListFile(const AppSettings& settings, const std::string& oldName,
                    const std::string& newName);
bool DeleteListFile(const AppSettings& settings, const std::string& name);

// The list names found in the list folder (regular files ending in ".ini"), sorted by name
// ignoring ASCII case, as a folder listing on Windows would give them.
std::vector<std::string> FindListNames(const AppSettings& settings);

// What the file list shows for a path: the part after the last '/'.
std::string DisplayName(const std::string& path);

// The names in the list folder ending in ".ini" that are not regular files (symlinks, FIFOs,
// folders): never offered as lists.
std::vector<std::string> FindIrregularListFiles(const AppSettings& settings);

// A line of a list file must survive the trip to code page 932 and back unchanged.
bool FitsListFile(const std::string& text);

// Characters a list name may not hold.
inline constexpr const char* kForbiddenListChars = "\\/:*?\"<>|";
bool HasForbiddenListChar(const std::string& name);

}  // namespace tolvane
