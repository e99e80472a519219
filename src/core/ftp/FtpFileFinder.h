#pragma once
// Finding a file in the server's current directory and its last-write time: MLST, else MDTM,
// else a LIST of the directory matched by exact name. What the server lacks is remembered for
// the session, so each file costs one round trip once that is known.
// A refusal is not an absence: servers answer 550 both for "no such file" and for "you may not
// use this command". Only the folder's listing tells the two apart, so a refused look-up counts
// as "missing" only when the listing agrees; when the listing shows the name, the command is
// taken as unusable for the rest of the session and the next way is asked.
#include <cstdint>
#include <optional>
#include <string>

#include "ftp/FtpFolderListing.h"
#include "ftp/FtpSession.h"
#include "ftp/FtpTimes.h"

namespace tolvane {

// What a look-up found out. Unknown: the server would not tell (nor list the folder), so
// nothing may be assumed about the file.
struct RemoteLookup {
  enum class Kind { Found, Missing, Unknown };
  Kind kind = Kind::Unknown;
  int64_t time = 0;  // when found; the basis says whether it is UTC or a listed wall clock
  TimeBasis basis = TimeBasis::Utc;
  // False when the time came from a listing line without a year (MLST and MDTM always have
  // one): only then may the year be a wrong guess.
  bool yearShown = true;

  static RemoteLookup Found(int64_t time, TimeBasis basis, bool yearShown = true) {
    return {Kind::Found, time, basis, yearShown};
  }
  static RemoteLookup Missing() { return {Kind::Missing, 0, TimeBasis::Utc}; }
  static RemoteLookup Unknown() { return {Kind::Unknown, 0, TimeBasis::Utc}; }
  bool operator==(const RemoteLookup&) const = default;
};

// `wireName` is the bare name as the server spells it. `nowUtc` dates a listing line that
// shows no year.
RemoteLookup FindRemoteFile(FtpSession& session, const std::string& wireName, int64_t nowUtc);

// How ListRemoteFolder can answer look-ups in the look-up's own convention: by MLSD where
// look-ups use MLST (the same facts), by LIST where look-ups themselves read LIST (no MLST,
// no MDTM). A server that answers MDTM but has no MLSD cannot: its LIST shows wall-clock
// times, its MDTM UTC, and a name's answer must not depend on the way it was found.
enum class FolderListingWay { None, Mlsd, List };
FolderListingWay RemoteFolderListingWay(FtpSession& session);

// The current directory's listing, or with `wirePath` that folder's, without entering it (the
// session's names of the current directory stay as they are); nullopt when it cannot be had
// (see above) or failed.
std::optional<FtpFolderListing> ListRemoteFolder(FtpSession& session, int64_t nowUtc,
                                                 const std::string& wirePath = {});

// The session's names of the current directory (FtpSession::NamesHere), listed by whatever
// way the server allows when not yet known; false when the folder could not be listed.
bool LearnNamesHere(FtpSession& session, int64_t nowUtc);

}  // namespace tolvane
