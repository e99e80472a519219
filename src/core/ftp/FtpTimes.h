#pragma once
// Modification times as FTP servers give them: MLST and MDTM in UTC, a listing as the
// server's wall clock in a time zone it does not name.
#include <cstdint>
#include <optional>
#include <string_view>

#include "ftp/FtpReply.h"

namespace tolvane {

// What a reported time means: seconds since 1970 in UTC (MLST, MDTM), or the listed
// wall-clock time read as if it were UTC (LIST), the server's time zone being unknown.
enum class TimeBasis { Utc, ListedWallClock };

// Seconds since 1970 of a proleptic Gregorian date and time read as UTC; no time zone involved.
int64_t UtcSeconds(int year, int month, int day, int hour, int minute, int second);

// The calendar year of an instant, in UTC.
int UtcYear(int64_t utc);

// "YYYYMMDDHHMMSS" with an optional ".fraction" (RFC 3659), read as UTC.
std::optional<int64_t> ParseFtpTimestamp(std::string_view text);

struct MlstFacts {
  bool isDirectory = false;
  bool isFile = false;  // type=file: a plain file, not a link or a device
  std::optional<int64_t> modifyUtc;
};
// One fact line, "type=file;size=3;modify=20240102030405; name" (MLST's starts with a space,
// MLSD's does not); nullopt when it holds no fact.
std::optional<MlstFacts> ParseFactLine(std::string_view line);
// The facts of a positive MLST reply; nullopt when it holds no fact line.
std::optional<MlstFacts> ParseMlstReply(const FtpReply& reply);

// The time of a "213 YYYYMMDDHHMMSS" MDTM reply, as UTC.
std::optional<int64_t> ParseMdtmReply(const FtpReply& reply);

}  // namespace tolvane
