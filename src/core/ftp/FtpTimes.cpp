#include "ftp/FtpTimes.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace tolvane {
namespace {

std::optional<int> Digits(std::string_view text, size_t pos, size_t count) {
  if (pos + count > text.size()) return std::nullopt;
  int value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

}  // namespace

std::optional<MlstFacts> ParseFactLine(std::string_view line) {
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  size_t space = line.find(' ');
  std::string facts = Lower(line.substr(0, space));
  if (facts.find('=') == std::string::npos) return std::nullopt;
  MlstFacts result;
  size_t start = 0;
  while (start < facts.size()) {
    size_t end = std::min(facts.find(';', start), facts.size());
    std::string_view fact = std::string_view(facts).substr(start, end - start);
    size_t eq = fact.find('=');
    if (eq != std::string_view::npos) {
      std::string_view key = fact.substr(0, eq), value = fact.substr(eq + 1);
      if (key == "type") {
        result.isDirectory = value == "dir" || value == "cdir" || value == "pdir";
        result.isFile = value == "file";
      }
      if (key == "modify") result.modifyUtc = ParseFtpTimestamp(value);
    }
    start = end + 1;
  }
  return result;
}

int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second) {
  // Days from 1970-01-01 of a civil date (H. Hinnant's algorithm).
  int64_t y = year - (month <= 2 ? 1 : 0);
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  int64_t days = era * 146097 + doe - 719468;
  return days * 86400 + hour * 3600 + minute * 60 + second;
}

int UtcYear(int64_t utc) {
  int64_t days = (utc >= 0 ? utc : utc - 86399) / 86400 + 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  int64_t doe = days - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  return static_cast<int>(yoe + era * 400 + (mp >= 10 ? 1 : 0));
}

std::optional<int64_t> ParseFtpTimestamp(std::string_view text) {
  if (text.size() < 14 || (text.size() > 14 && text[14] != '.')) return std::nullopt;
  auto year = Digits(text, 0, 4), month = Digits(text, 4, 2), day = Digits(text, 6, 2);
  auto hour = Digits(text, 8, 2), minute = Digits(text, 10, 2), second = Digits(text, 12, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 ||
      *second > 60) {
    return std::nullopt;
  }
  return UtcSeconds(*year, *month, *day, *hour, *minute, *second);
}

std::optional<MlstFacts> ParseMlstReply(const FtpReply& reply) {
  if (!reply.Completed()) return std::nullopt;
  // The facts come on their own line between the first and the last (RFC 3659 7.2).
  for (size_t i = 1; i + 1 < reply.lines.size(); ++i) {
    if (std::optional<MlstFacts> facts = ParseFactLine(reply.lines[i])) return facts;
  }
  return std::nullopt;
}

std::optional<int64_t> ParseMdtmReply(const FtpReply& reply) {
  if (reply.code != 213 || reply.lines.size() != 1 || reply.LastLine().size() < 4) {
    return std::nullopt;
  }
  std::string_view value = std::string_view(reply.LastLine()).substr(4);
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  return ParseFtpTimestamp(value);
}

}  // namespace tolvane
