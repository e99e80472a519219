#include "ftp/FtpListing.h"

#include <array>
#include <cctype>
#include <vector>

#include "ftp/FtpTimes.h"

namespace tolvane {
namespace {

constexpr int64_t kFutureAllowance = 2 * 86400;

struct Token {
  std::string_view text;
  size_t end;  // offset just past the token in the line
};

std::vector<Token> Tokens(std::string_view line, size_t max) {
  std::vector<Token> tokens;
  size_t pos = 0;
  while (tokens.size() < max) {
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size()) break;
    size_t start = pos;
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') ++pos;
    tokens.push_back({line.substr(start, pos - start), pos});
  }
  return tokens;
}

std::optional<int> Number(std::string_view text, int min, int max) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < min || value > max) return std::nullopt;
  return value;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::optional<int> Month(std::string_view text) {
  static constexpr std::array<const char*, 12> kNames = {"jan", "feb", "mar", "apr", "may", "jun",
                                                         "jul", "aug", "sep", "oct", "nov", "dec"};
  if (text.size() != 3) return std::nullopt;
  for (size_t i = 0; i < kNames.size(); ++i) {
    bool same = true;
    for (size_t k = 0; k < 3; ++k) {
      same = same && std::tolower(static_cast<unsigned char>(text[k])) == kNames[i][k];
    }
    if (same) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

// "HH:MM" as hour and minute.
std::optional<std::pair<int, int>> Clock(std::string_view text) {
  size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  auto hour = Number(text.substr(0, colon), 0, 23);
  auto minute = Number(text.substr(colon + 1), 0, 59);
  if (!hour || !minute) return std::nullopt;
  return std::pair(*hour, *minute);
}

int64_t YearlessTime(int month, int day, int hour, int minute, int64_t nowUtc) {
  int year = UtcYear(nowUtc);
  for (int y : {year + 1, year}) {
    int64_t t = UtcSeconds(y, month, day, hour, minute, 0);
    if (t <= nowUtc + kFutureAllowance) return t;
  }
  return UtcSeconds(year - 1, month, day, hour, minute, 0);
}

// "-rw-r--r--   1 owner group   1234 Jan 02 10:15 name" (owner or group may be missing).
std::optional<ListedEntry> ParseUnix(std::string_view line, int64_t nowUtc) {
  if (line.empty() || std::string_view("-dlbcps").find(line[0]) == std::string_view::npos) {
    return std::nullopt;
  }
  std::vector<Token> tokens = Tokens(line, 9);
  for (size_t i = 2; i + 2 < tokens.size(); ++i) {
    auto month = Month(tokens[i].text);
    auto day = Number(tokens[i + 1].text, 1, 31);
    if (!month || !day || !AllDigits(tokens[i - 1].text)) continue;  // size, month, day
    std::string_view yearOrClock = tokens[i + 2].text;
    ListedEntry entry;
    if (auto clock = Clock(yearOrClock)) {
      entry.time = YearlessTime(*month, *day, clock->first, clock->second, nowUtc);
      entry.yearShown = false;
    } else if (auto year = Number(yearOrClock, 1900, 9999)) {
      entry.time = UtcSeconds(*year, *month, *day, 0, 0, 0);
    } else {
      continue;
    }
    size_t nameStart = tokens[i + 2].end + 1;  // exactly one space before the name
    if (nameStart >= line.size()) return std::nullopt;
    std::string_view name = line.substr(nameStart);
    if (line[0] == 'l') name = name.substr(0, name.find(" -> "));
    entry.name = std::string(name);
    entry.isDirectory = line[0] == 'd';
    return entry;
  }
  return std::nullopt;
}

// "01-02-24  10:15AM       <DIR>          name" or "01-02-2024  22:15   1234 name".
std::optional<ListedEntry> ParseDos(std::string_view line) {
  std::vector<Token> tokens = Tokens(line, 3);
  if (tokens.size() < 3) return std::nullopt;
  std::string_view date = tokens[0].text, time = tokens[1].text;
  if (date.size() < 8 || date[2] != '-' || date[5] != '-') return std::nullopt;
  auto month = Number(date.substr(0, 2), 1, 12), day = Number(date.substr(3, 2), 1, 31);
  auto year = Number(date.substr(6), 0, 9999);
  if (!month || !day || !year || (date.size() != 8 && date.size() != 10)) return std::nullopt;
  if (date.size() == 8) *year += *year < 70 ? 2000 : 1900;
  std::string_view ampm;
  if (time.size() > 2 && std::isalpha(static_cast<unsigned char>(time.back()))) {
    ampm = time.substr(time.size() - 2);
    time.remove_suffix(2);
  }
  auto clock = Clock(time);
  if (!clock) return std::nullopt;
  int hour = clock->first;
  if (!ampm.empty()) {
    bool pm = ampm == "PM" || ampm == "pm";
    if ((!pm && ampm != "AM" && ampm != "am") || hour < 1 || hour > 12) return std::nullopt;
    hour = hour % 12 + (pm ? 12 : 0);
  }
  ListedEntry entry;
  entry.time = UtcSeconds(*year, *month, *day, hour, clock->second, 0);
  entry.isDirectory = tokens[2].text == "<DIR>";
  if (!entry.isDirectory && !AllDigits(tokens[2].text)) return std::nullopt;
  size_t nameStart = tokens[2].end + 1;
  if (entry.isDirectory) {
    while (nameStart < line.size() && line[nameStart] == ' ') ++nameStart;
  }
  if (nameStart >= line.size()) return std::nullopt;
  entry.name = std::string(line.substr(nameStart));
  return entry;
}

}  // namespace

std::optional<ListedEntry> ParseListLine(std::string_view line, int64_t nowUtc) {
  if (std::optional<ListedEntry> entry = ParseUnix(line, nowUtc)) return entry;
  return ParseDos(line);
}

void ForEachListingLine(std::string_view text, const std::function<void(std::string_view)>& use) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    use(line);
    start = end + 1;
  }
}

}  // namespace tolvane
