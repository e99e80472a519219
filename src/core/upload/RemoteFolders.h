#pragma once
// How the upload run reaches an entry's folder on the server, looks a file up there and puts
// it there. PerFileFolders does each step as it comes; ListedFolders gives the same results
// with far fewer round trips.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ftp/FtpFileFinder.h"
#include "ftp/FtpOptions.h"

namespace tolvane {

// A name of this many characters or more is taken as absent from the server without asking:
// the run then puts the file. Characters, not bytes, count.
inline constexpr size_t kMaxFindableNameCharacters = 260;
inline bool IsFindableName(const std::string& utf8) {
  size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count < kMaxFindableNameCharacters;
}

class RemoteFolders {
 public:
  virtual ~RemoteFolders() = default;
  // The entry's change of directory: "/", then the server folder, then the entry's folder
  // (each only when not empty); a failed change leaves the directory where it was.
  virtual void Enter(const std::string& serverFolder, const std::string& folder) = 0;
  // FtpClient::LookUp of `name` in the directory entered last (Missing when not findable).
  virtual RemoteLookup Find(const std::string& name) = 0;
  // SafeUploader::Put into the directory entered last.
  virtual std::optional<std::string> Put(const std::string& localPath, const std::string& name,
                                         TransferType type) = 0;
  // The directory entered last as the server names it (FtpClient::WorkingDirectory): two
  // entries whose folders lead to the same directory get the same answer.
  virtual std::optional<std::string> Here() = 0;
};

}  // namespace tolvane
