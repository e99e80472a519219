#pragma once
// Finding a file in the server's current directory and its last-write time: MLST, else MDTM,
// else a LIST of the directory matched by exact name. What the server lacks is remembered for
// the session, so each file costs one round trip once that is known.
#include <cstdint>
#include <optional>
#include <string>

#include "transfer/FtpSession.h"

namespace tolvane {

// `wireName` is the bare name as the server spells it. The time follows the convention of
// FtpTimes.h; nullopt when there is no such file (or no way to tell). `nowUtc` dates a
// listing line that shows no year.
std::optional<int64_t> FindRemoteFile(FtpSession& session, const std::string& wireName,
                                      int64_t nowUtc);

}  // namespace tolvane
