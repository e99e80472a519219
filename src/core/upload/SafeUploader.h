#pragma once
// Puts one file so that the server never keeps a damaged copy of it: under a temporary name
// in the same folder, renamed over the real name only once the whole file arrived (visitors
// of the site never see half a page); where renaming is refused, straight under its name,
// deleted again when the transfer fails so the next run sends it again. A binary put is
// checked against the server's SIZE; a local file that changed while it was sent is sent
// again. Temporary files a killed run left behind are removed from every folder this one
// puts into.
#include <optional>
#include <set>
#include <string>

#include "ftp/FtpOptions.h"

namespace tolvane {

class FtpClient;

inline constexpr const char* kChangedDuringUpload = "アップロード中にファイルが変更されました";
inline constexpr const char* kSizeMismatch =
    "サーバーに届いたファイルの大きさが元のファイルと違います";

class SafeUploader {
 public:
  // `listedNames`: the names of every entry of the run, which a temporary name must never be.
  SafeUploader(FtpClient& ftp, bool temporaryName, std::set<std::string> listedNames);

  // Puts `localPath` as `name` into the client's current directory; `folderKey` tells that
  // directory apart from the others of the run. nullopt on success, else the text to show.
  std::optional<std::string> Put(const std::string& folderKey, const std::string& localPath,
                                 const std::string& name, TransferType type);

  // ".tolvane-<16 hex digits>.part": hidden, recognisable, one per name (and salt).
  static std::string TemporaryNameFor(const std::string& name, unsigned salt = 0);
  static bool IsTemporaryName(const std::string& name);

 private:
  enum class Outcome { Done, Failed, Changed };
  struct Attempt {
    Outcome outcome;
    std::optional<std::string> failure;
  };
  Attempt PutOnce(const std::string& localPath, const std::string& name, TransferType type);
  Attempt PutAs(const std::string& localPath, const std::string& target, TransferType type);
  void SweepLeftovers(const std::string& folderKey);
  std::string TemporaryName(const std::string& name) const;

  FtpClient& m_ftp;
  bool m_temporaryName;
  std::set<std::string> m_listedNames;
  std::set<std::string> m_sweptFolders;
  bool m_renameRefused = false;  // renaming onto the real name failed even after deleting it
};

}  // namespace tolvane
