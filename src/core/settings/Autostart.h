#pragma once
// Starting the program at login through the desktop's autostart folder
// ($XDG_CONFIG_HOME/autostart/tolvane.desktop), so a schedule keeps running after a restart.
#include <optional>
#include <string>

#include "settings/AppSettings.h"

namespace tolvane {

// The autostart file's path; empty when there is no configuration folder.
std::string AutostartFile(const ProgramPlace& place);

// The Exec value that starts this program on this program folder.
std::string AutostartCommand(const ProgramPlace& place);

// The whole autostart file.
std::string AutostartFileText(const ProgramPlace& place);

// True when the autostart file is there and starts this very program.
bool AutostartIsOn(const ProgramPlace& place);

// Writes or removes the autostart file; false when that failed.
bool SetAutostart(const ProgramPlace& place, bool on);

// One argument of an Exec value, quoted as the desktop entry rules ask (before the file's
// own escaping of backslashes).
std::string QuoteExecArgument(const std::string& argument);

// The program an Exec value (as the file holds it) starts, without quotes and escapes;
// nullopt when the value cannot be read.
std::optional<std::string> ExecProgram(const std::string& fileValue);

}  // namespace tolvane
