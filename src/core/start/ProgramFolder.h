#pragma once
// Which folder holds the program's files (kestra.ini, list/, timer.ini, log/, the locks).
// A copy in a folder of its own keeps them beside itself, as it always has; a copy installed
// into the system keeps them in the person's configuration folder.
#include <string>

#include "settings/AppSettings.h"

namespace tolvane {

// What the decision looks at, gathered from the system by GatherProgramFolderFacts.
struct ProgramFolderFacts {
  std::string executable;             // absolute path of the running program
  bool besideHoldsSettings = false;   // the executable's folder holds kestra.ini
  bool besideWritable = false;        // ... and the program may write there
  bool besideIsSystemFolder = false;  // ... but it is where programs get installed (/usr/bin)
  std::string xdgConfigHome;          // $XDG_CONFIG_HOME, as set (maybe empty or relative)
  std::string home;                   // $HOME
  std::string givenFolder;            // --dir, absolute; empty when not given
};

struct ProgramFolderChoice {
  enum class Kind { Given, BesideExecutable, ConfigFolder, None };
  Kind kind = Kind::None;
  std::string folder;           // no trailing separator
  std::string automaticFolder;  // the folder chosen when no --dir is given
};

// The decision itself: --dir first; then the executable's folder when it already holds
// kestra.ini (a copy carried over from another machine) or the program may write there and it
// is no system folder; otherwise $XDG_CONFIG_HOME/tolvane (~/.config/tolvane by default).
ProgramFolderChoice ChooseProgramFolder(const ProgramFolderFacts& facts);

// "$XDG_CONFIG_HOME" when it is an absolute path, otherwise "$HOME/.config"; empty with neither.
std::string ConfigHome(const std::string& xdgConfigHome, const std::string& home);

// The facts of the running program: `executable` its absolute path, `givenFolder` the --dir
// value (relative to the current folder), the environment from getenv.
ProgramFolderFacts GatherProgramFolderFacts(const std::string& executable,
                                            const std::string& givenFolder);

// Makes the chosen folder ready: creates it (0700) when it is missing. Returns what went
// wrong, or an empty text.
std::string PrepareChosenFolder(const ProgramFolderChoice& choice);

// Points `settings` at the chosen folder and fills in where the program runs from.
void UseProgramFolder(AppSettings& settings, const ProgramFolderFacts& facts,
                      const ProgramFolderChoice& choice);

// All of the above for the running program: gathers, chooses, prepares and points `settings`
// at the folder. Returns what went wrong, or an empty text.
std::string OpenProgramFolder(AppSettings& settings, const std::string& executable,
                              const std::string& givenFolder);

// Where the installed read-only files are for `executable`: share/tolvane beside its bin
// folder when that exists (any prefix, a DESTDIR copy), otherwise the folder compiled in.
std::string InstalledDataFolder(const std::string& executable);

}  // namespace tolvane
