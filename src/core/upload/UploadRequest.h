#pragma once
// A run of one list: what whoever starts it asks for, and what it did. The window, the
// schedule and the command line each build their own request; the status lines, a log or a
// preview read the same report.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ftp/FtpOptions.h"
#include "lists/ListStore.h"

namespace tolvane {

enum class UploadMode : uint8_t {
  Newer = 0,        // missing on the server, or newer locally at minute precision
  NewerOrSame = 1,  // also when both are of the same minute
  Unchecked = 2,    // always; the server is not asked
};

enum class RunOrigin { Button, Schedule, CommandLine };

struct UploadRequest {
  std::string listName;
  std::vector<UploadEntry> entries;
  UploadMode mode = UploadMode::Newer;
  RunOrigin origin = RunOrigin::Button;
  // Only look: connect, look up and decide as the run would, and put nothing on the server.
  bool preview = false;
};

// One per entry of a list that may be a hundred thousand long: the small fields sit together.
struct EntryOutcome {
  enum class Kind : uint8_t {
    NotReached,  // the run ended before this entry
    Uploaded,
    UpToDate,      // the server's copy is as new or newer
    LocalMissing,  // no local file to read
    Unchecked,     // the server would not tell about its copy; nothing was put
    Failed,        // the put failed; `detail` says why
    WouldUpload,   // a preview's: the run would put this file
  };
  // What the decision to put the file or leave it rested on.
  enum class Reason : uint8_t {
    None,           // no decision: no local file, no answer from the server, not reached
    Compared,       // localTime against serverTime
    NotOnServer,    // the server has no such file
    UncheckedMode,  // the mode puts every file without asking the server
  };
  Kind kind = Kind::NotReached;
  Reason reason = Reason::None;
  // Compared in a preview: the server's copy is the one an earlier entry would have put.
  bool serverCopyFromEarlierEntry = false;
  TransferType type = TransferType::Binary;  // Uploaded and Failed: how the put went
  std::string detail;                        // Failed, and Unchecked when the server said why
  std::optional<int64_t> localTime = std::nullopt;   // the local file's time, if any
  std::optional<int64_t> serverTime = std::nullopt;  // Compared: the server's, as compared
  // Uploaded and Failed: how the put went, for the run log.
  uint64_t bytes = 0;        // size of the local file
  int64_t milliseconds = 0;  // time the put took
};

struct UploadReport {
  bool listUnreadable = false;  // the list file could not be read; nothing was started
  bool connected = false;
  std::string connectFailure;          // why the connection failed, when it did
  std::vector<EntryOutcome> outcomes;  // one per entry of the request, in its order
  int64_t startedAt = 0;               // seconds since 1970
  int64_t endedAt = 0;
  bool logFailed = false;    // the run log could not be written; the run itself is unaffected
  bool serverAhead = false;  // server times lay ahead of the corrected clock
  // What a scheduled run would have said in message boxes; they are shown after it, together.
  std::vector<std::string> messages;

  int Count(EntryOutcome::Kind kind) const {
    int count = 0;
    for (const EntryOutcome& outcome : outcomes) count += outcome.kind == kind;
    return count;
  }
};

}  // namespace tolvane
