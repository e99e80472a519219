#pragma once
// Lines of a LIST reply, in the Unix ("ls -l") and the DOS (IIS) forms.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tolvane {

struct ListedEntry {
  std::string name;  // bytes as the server sent them
  bool isDirectory = false;
  int64_t time = 0;  // the listed wall-clock time read as UTC
  // False when the line showed a time of day instead of the year, so the year was guessed.
  bool yearShown = true;
};

// nullopt for a line of neither form ("total 12", blank lines). A Unix date without a year
// lies within the last months: it takes the year that puts it nearest before `nowUtc`
// (allowing two days for the server's time zone), so "Dec 31" listed on 2 January is last year.
std::optional<ListedEntry> ParseListLine(std::string_view line, int64_t nowUtc);

// Calls `use` with every line of a listing's data, without its CR LF or LF.
void ForEachListingLine(std::string_view text, const std::function<void(std::string_view)>& use);

}  // namespace tolvane
