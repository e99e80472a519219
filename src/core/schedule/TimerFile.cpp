#include "schedule/TimerFile.h"

namespace tolvane {

std::string TimerFilePath(const AppSettings& settings) {
  return PathBesideExe(settings, "timer.ini");
}

std::optional<std::vector<std::string>> ReadTimerFile(const AppSettings& settings) {
  return ReadLineFile(TimerFilePath(settings));
}

std::optional<std::vector<std::string>> ReadTimerFileBytes(const AppSettings& settings) {
  return ReadRawLines(TimerFilePath(settings));
}

bool WriteTimerFileBytes(const AppSettings& settings, const std::vector<std::string>& lines) {
  return WriteRawLines(TimerFilePath(settings), lines);
}

LineWrite WriteTimerFile(const AppSettings& settings, const std::vector<std::string>& lines) {
  return WriteLineFile(TimerFilePath(settings), lines);
}

std::vector<TimerEntry> PairEntries(const std::vector<std::string>& lines) {
  std::vector<TimerEntry> entries;
  entries.reserve(lines.size() / 2);
  for (size_t i = 0; i + 1 < lines.size(); i += 2) entries.push_back({lines[i], lines[i + 1]});
  return entries;
}

std::vector<std::string> EntryLines(const std::vector<TimerEntry>& entries) {
  std::vector<std::string> lines;
  lines.reserve(entries.size() * 2);
  for (const TimerEntry& entry : entries) {
    lines.push_back(entry.code);
    lines.push_back(entry.listName);
  }
  return lines;
}

}  // namespace tolvane
