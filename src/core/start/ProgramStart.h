#pragma once
// What start-up does with the program folder around reading the settings.
#include <cstdint>
#include <string>
#include <vector>

#include "settings/AppSettings.h"

namespace tolvane {

class Prompts;
class ProgramFolderLock;

enum class StartOutcome { Run, FolderInUse };

// Takes the folder's lock (telling the person which folder is in use when another copy holds
// it), removes temporary files that a killed write left behind, reads the settings, and then
// keeps the password they hold out of core dumps. `now`: seconds since 1970.
StartOutcome PrepareProgramFolder(AppSettings& settings, ProgramFolderLock& lock, Prompts& prompts,
                                  int64_t now);

// The state and list files of the folder that are symlinks, FIFOs or anything else but a
// regular file, as paths inside the folder ("kestra.ini", "list/a.ini"). They are never
// read or written.
std::vector<std::string> FindIrregularStateFiles(const AppSettings& settings);

// Tells the person about the files above, if there are any.
void ReportIrregularStateFiles(const AppSettings& settings, Prompts& prompts);

}  // namespace tolvane
