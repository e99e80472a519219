#include "start/ProgramStart.h"

#include <sys/prctl.h>

#include "Seams.h"
#include "lists/ListStore.h"
#include "platform/AtomicFile.h"
#include "settings/SettingsFile.h"
#include "window/ProgramFolderLock.h"

namespace tolvane {

StartOutcome PrepareProgramFolder(AppSettings& settings, ProgramFolderLock& lock, Prompts& prompts,
                                  int64_t now) {
  if (!lock.Acquire()) {
    prompts.Error(FolderInUseMessage(lock.folder()));
    return StartOutcome::FolderInUse;
  }
  // Only with the lock held: no other copy can be writing here now.
  RemoveStaleTemporaryFiles(settings.exeFolder, now);
  RemoveStaleTemporaryFiles(ListFolder(settings), now);
  LoadSettings(settings);
  // From here on the process holds the password in plain text.
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  return StartOutcome::Run;
}

std::vector<std::string> FindIrregularStateFiles(const AppSettings& settings) {
  std::vector<std::string> found;
  for (const char* name : {"kestra.ini", "mode.ini", "timer.ini"}) {
    if (IsIrregularFile(PathBesideExe(settings, name))) found.push_back(name);
  }
  for (const std::string& file : FindIrregularListFiles(settings)) found.push_back("list/" + file);
  return found;
}

void ReportIrregularStateFiles(const AppSettings& settings, Prompts& prompts) {
  const std::vector<std::string> files = FindIrregularStateFiles(settings);
  if (files.empty()) return;
  std::string text = "次のファイルは通常のファイルではない（リンクなど）ため使いません:";
  for (const std::string& file : files) text += "\n" + file;
  prompts.Error(text);
}

}  // namespace tolvane
