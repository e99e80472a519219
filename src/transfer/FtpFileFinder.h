#pragma once
// Finding a file in the server's current directory and its last-write time: MLST, else MDTM,
// else a LIST of the directory matched by exact name. What the server lacks is remembered for
// the session, so each file costs one round trip once that is known.
#include <cstdint>
#include <optional>
#include <string>

#include "transfer/FtpFolderListing.h"
#include "transfer/FtpSession.h"

namespace tolvane {

// `wireName` is the bare name as the server spells it. The time follows the convention of
// FtpTimes.h; nullopt when there is no such file (or no way to tell). `nowUtc` dates a
// listing line that shows no year.
std::optional<int64_t> FindRemoteFile(FtpSession& session, const std::string& wireName,
                                      int64_t nowUtc);

// How ListRemoteFolder can answer look-ups in the look-up's own convention: by MLSD where
// look-ups use MLST (the same facts), by LIST where look-ups themselves read LIST (no MLST,
// no MDTM). A server that answers MDTM but has no MLSD cannot: its LIST shows wall-clock
// times, its MDTM UTC.
enum class FolderListingWay { None, Mlsd, List };
FolderListingWay RemoteFolderListingWay(FtpSession& session);

// The current directory's listing, or nullopt when it cannot be had (see above) or failed.
std::optional<FtpFolderListing> ListRemoteFolder(FtpSession& session, int64_t nowUtc);

}  // namespace tolvane
