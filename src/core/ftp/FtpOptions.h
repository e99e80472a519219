#pragma once
// How the FTP client waits: bounds for connecting, for each reply and for a data connection
// that stops moving, and the pump it calls meanwhile so the window keeps painting. Also the
// clock it dates listings by and the hook that sees everything said on the connection.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ftp/FtpResult.h"

namespace tolvane {

class Clock;

enum class TransferType { Ascii = 1, Binary = 2 };

// One thing that crossed the control connection, or the end of one transfer.
struct FtpTraceEvent {
  enum class Kind { Command, Reply, Transfer };
  Kind kind = Kind::Command;
  // Command: the line sent, without CR LF; the password masked wherever it appears
  // ("PASS ********"), in replies too.
  // Transfer: the command that opened it (STOR, LIST, MLSD).
  std::string command;
  int code = 0;                    // Reply
  std::vector<std::string> lines;  // Reply: as received, the password masked
  uint64_t bytes = 0;              // Transfer: bytes that crossed the data connection
  FtpResult result;                // Transfer: how it ended
  int connection = 0;              // which of a run's connections: 0 its only or first one
};

struct FtpOptions {
  int connectTimeoutMs = 15000;
  int replyTimeoutMs = 30000;
  int dataStallTimeoutMs = 30000;  // a data connection that moves no byte this long is cut
  int listingTimeoutMs = 300000;   // a whole listing must have arrived by then
  std::function<void()> pump;      // called while waiting; may be empty
  // Asked while data moves; true breaks the transfer off as failed (the program is ending).
  std::function<bool()> cancelled;
  // Dates listing lines that show no year; nullptr: the system clock.
  Clock* clock = nullptr;
  // Sees every command, reply and transfer of the session; may be empty.
  std::function<void(const FtpTraceEvent&)> trace;
};

}  // namespace tolvane
