#pragma once
// One schedule entry and the tests the tick makes on it. The entry code is a string of digits
// whose fields sit at fixed positions:
//   1 s YYYY MM DD HH MM   once          (14 characters)
//   2 s HH MM              every day     (6)
//   3 s W HH MM            every week    (7, W = 0 Sunday … 6 Saturday)
//   4 s DD HH MM           every month   (8)
//   5 s MM                 every hour    (4)
// where s is "1" when the machine is powered off after the upload. Fields are compared as
// text, never as numbers, so a code is used exactly as written; a short or damaged code simply
// matches nothing (missing characters count as absent, never as an error).
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvane {

struct TimerEntry {
  std::string code;
  std::string listName;  // as shown in the list selector: no folder, no ".ini"
  bool operator==(const TimerEntry&) const = default;
};

// The kind digit '1' to '5' (any other character for a damaged code; '\0' for an empty one).
char Kind(std::string_view code);

// True for codes whose kind is '1' to '5'; the others are never due and never shown.
bool IsKnownKind(std::string_view code);

// The second character is "1": power off after this entry's upload.
bool ShutdownAfter(std::string_view code);

// Whether the entry belongs to the day selection of the day containing `now`.
bool IsDueToday(std::string_view code, int64_t now);

// Whether the entry fires in the minute `hhmm` (formatted "%H%M").
bool MatchesMinute(std::string_view code, std::string_view hhmm);

// A one-shot entry whose minute has begun (or passed); other kinds never expire.
bool IsExpired(std::string_view code, int64_t now);

// The row of the timer list: the digits copied from their places in the code as they stand,
// "OFF-" for a shutdown entry, then the list name; e.g. 毎日08時05分-OFF-web. Empty for a code
// of unknown kind (such entries are not listed).
std::string DisplayText(const TimerEntry& entry);

}  // namespace tolvane
