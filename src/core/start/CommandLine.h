#pragma once
// The program without a window: run, preview or list uploads from a shell, cron or a systemd
// timer. Needs no display and no session bus, and never asks anything.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "upload/UploadRequest.h"

namespace tolvane {

// What the command line asks for. Window: none of the program's options were given.
struct CommandLineRequest {
  enum class Action { Window, Upload, Preview, Lists, Help, Version };
  Action action = Action::Window;
  std::string listName;
  std::string folder;              // --dir: the program folder to use; empty to choose it
  std::optional<UploadMode> mode;  // nullopt: the stored settings decide, as for the schedule
  std::string error;               // a bad command line: what is wrong
};

// Exit statuses of a command-line run.
enum ExitStatus {
  kExitDone = 0,
  kExitEntriesFailed = 1,  // some entries failed, could not be checked or were not reached
  kExitNoConnection = 2,   // could not connect or log in
  kExitBadInput = 3,       // bad command line, unreadable settings or list
  kExitOtherRun = 4,       // another run held the program folder
};

CommandLineRequest ParseCommandLine(const std::vector<std::string>& arguments);

// Runs a request other than Window with the program folder of `executablePath` (or the one
// the request names), writing
// results to `out` and errors to `err`; returns the exit status.
int RunCommandLine(const CommandLineRequest& request, const std::string& executablePath,
                   std::ostream& out, std::ostream& err);

// The program's version, as --version prints it.
const char* ProgramVersion();

}  // namespace tolvane
