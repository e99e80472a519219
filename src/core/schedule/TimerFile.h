#pragma once
// timer.ini beside the executable: two lines per entry (code, then list name), code page 932
// on disk, every line ending in CR LF. It holds no sections despite its name.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/LineFile.h"
#include "schedule/TimerEntry.h"
#include "settings/AppSettings.h"

namespace tolvane {

// Line indexes of the schedule are 16-bit, so this many entries at most.
inline constexpr size_t kMaxTimerEntries = 32767;

std::string TimerFilePath(const AppSettings& settings);

// All lines of the timer file in order, or nullopt when there is no readable file.
std::optional<std::vector<std::string>> ReadTimerFile(const AppSettings& settings);

// The same lines as bytes, undecoded: the purge passes the lines it keeps through unchanged,
// also those a code page 932 decoder would not read back (written elsewhere, or damaged).
std::optional<std::vector<std::string>> ReadTimerFileBytes(const AppSettings& settings);
bool WriteTimerFileBytes(const AppSettings& settings, const std::vector<std::string>& lines);

// Replaces the timer file with `lines` as a whole. Anything but Ok leaves the old file as it
// was (Unencodable: some text has no code page 932 form).
LineWrite WriteTimerFile(const AppSettings& settings, const std::vector<std::string>& lines);

// Lines 1-2, 3-4, … form the entries; an odd last line belongs to none and is ignored.
std::vector<TimerEntry> PairEntries(const std::vector<std::string>& lines);

// The line layout of entries: code at 2i, list name at 2i + 1.
std::vector<std::string> EntryLines(const std::vector<TimerEntry>& entries);

}  // namespace tolvane
