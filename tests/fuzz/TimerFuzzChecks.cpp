// The timer entry codes: the tick's tests and the row text of the timer list.
#include <cstdint>

#include "fuzz/FuzzChecks.h"
#include "platform/LocalTime.h"
#include "schedule/TimerEntry.h"

namespace tolvane::fuzz {
namespace {

std::string_view NextLine(std::string_view& input) {
  size_t lf = input.find('\n');
  std::string_view line = input.substr(0, lf);
  input.remove_prefix(lf == std::string_view::npos ? input.size() : lf + 1);
  return line;
}

}  // namespace

int64_t TakeInstant(std::string_view& input) {
  uint32_t seconds = 0;
  for (int i = 0; i < 4 && !input.empty(); ++i) {
    seconds = (seconds << 8) | static_cast<uint8_t>(input.front());
    input.remove_prefix(1);
  }
  return int64_t{946684800} + seconds;
}

std::string CheckTimerCode(std::string_view input) {
  const int64_t now = TakeInstant(input);
  TimerEntry entry;
  entry.code = std::string(NextLine(input));
  entry.listName = std::string(NextLine(input));
  std::string_view hhmm = NextLine(input);

  const std::string& code = entry.code;
  Kind(code);
  ShutdownAfter(code);
  bool dueToday = IsDueToday(code, now);
  MatchesMinute(code, hhmm);
  MatchesMinute(code, FormatLocal(now, "%H%M"));
  bool expired = IsExpired(code, now);
  if (expired && Kind(code) != '1') return "an entry that is not one-shot expired";
  // Only the day selection is ever matched against the minute.
  if (dueToday && !IsKnownKind(code)) return "an entry of unknown kind is due";

  std::string shown = DisplayText(entry);
  // A truncated code of a known kind may show as an empty row, but an unknown kind never shows.
  if (!shown.empty() && !IsKnownKind(code)) return "an entry of unknown kind has a row";
  if (!shown.empty() && !shown.ends_with(entry.listName)) return "row text lost the list name";
  return {};
}

}  // namespace tolvane::fuzz
