#include "settings/Autostart.h"

#include <unistd.h>

#include <cerrno>

#include <filesystem>

#include "Seams.h"
#include "platform/AtomicFile.h"
#include "platform/LineFile.h"

namespace tolvane {
namespace {

constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

// The file format's own escaping of string values: a backslash is written twice.
std::string EscapeValue(const std::string& value) {
  std::string escaped;
  for (char c : value) {
    if (c == '\\') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string UnescapeValue(const std::string& value) {
  std::string plain;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      plain += value[i];
      continue;
    }
    const char next = value[++i];
    plain += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next;
  }
  return plain;
}

}  // namespace

std::string QuoteExecArgument(const std::string& argument) {
  std::string text;
  for (char c : argument) {
    text += c;
    if (c == '%') text += '%';  // a field code otherwise
  }
  if (!text.empty() && text.find_first_of(kReserved) == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::optional<std::string> ExecProgram(const std::string& fileValue) {
  const std::string value = UnescapeValue(fileValue);
  std::string program;
  size_t i = 0;
  if (!value.empty() && value[0] == '"') {
    for (i = 1; i < value.size() && value[i] != '"'; ++i) {
      if (value[i] == '\\' && i + 1 < value.size()) ++i;
      program += value[i];
    }
    if (i == value.size()) return std::nullopt;  // no closing quote
  } else {
    for (; i < value.size() && value[i] != ' '; ++i) program += value[i];
  }
  std::string plain;
  for (size_t j = 0; j < program.size(); ++j) {
    plain += program[j];
    if (program[j] == '%' && j + 1 < program.size() && program[j + 1] == '%') ++j;
  }
  if (plain.empty()) return std::nullopt;
  return plain;
}

std::string AutostartFile(const ProgramPlace& place) {
  if (place.configHome.empty()) return "";
  return place.configHome + "/autostart/tolvane.desktop";
}

std::string AutostartCommand(const ProgramPlace& place) {
  std::string command = QuoteExecArgument(place.executable);
  if (!place.folderArgument.empty()) {
    command += " --dir " + QuoteExecArgument(place.folderArgument);
  }
  return command;
}

std::string AutostartFileText(const ProgramPlace& place) {
  return std::string(
             "[Desktop Entry]\n"
             "Type=Application\n"
             "Name=") +
         kAppName +
         "\n"
         "Name[en]=Tolvane\n"
         "Comment=予約したアップロードを実行します\n"
         "Comment[en]=Runs the scheduled uploads\n"
         "Exec=" +
         EscapeValue(AutostartCommand(place)) +
         "\n"
         "Icon=tolvane\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartIsOn(const ProgramPlace& place) {
  const std::string file = AutostartFile(place);
  if (file.empty() || place.executable.empty()) return false;
  const std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes) return false;
  for (const std::string& line : SplitLines(*bytes)) {
    if (line.rfind("Hidden=true", 0) == 0) return false;  // switched off by the desktop
  }
  for (const std::string& line : SplitLines(*bytes)) {
    if (line.rfind("Exec=", 0) != 0) continue;
    return ExecProgram(line.substr(5)) == place.executable;
  }
  return false;
}

bool SetAutostart(const ProgramPlace& place, bool on) {
  const std::string file = AutostartFile(place);
  if (file.empty() || place.executable.empty()) return false;
  if (!on) return ::unlink(file.c_str()) == 0 || errno == ENOENT;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
  return WriteFileAtomically(file, AutostartFileText(place), 0644);
}

}  // namespace tolvane
