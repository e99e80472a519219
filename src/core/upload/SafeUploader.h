#pragma once
// Puts one file so that the server never keeps a damaged copy of it: under a temporary name
// in the same folder, renamed over the real name only once the whole file arrived (visitors
// of the site never see half a page); where renaming is refused, straight under its name,
// deleted again when the transfer fails so the next run sends it again. A binary put is
// checked against the server's SIZE; a local file that changed while it was sent is sent
// again. Temporary files a killed run left behind are removed from every folder this one
// puts into.
#include <algorithm>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ftp/FtpOptions.h"

namespace tolvane {

class FtpClient;

inline constexpr const char* kChangedDuringUpload = "アップロード中にファイルが変更されました";
inline constexpr const char* kFolderUnreachable = "サーバーのフォルダーに移動できませんでした";
inline constexpr const char* kSizeMismatch =
    "サーバーに届いたファイルの大きさが元のファイルと違います";

// What the uploaders of one run's connections share: the names of every entry of the run
// (which a temporary name must never be), the folders swept so far, and the temporary names
// being written right now, which a sweep on another connection must leave alone.
struct SharedUploads {
  explicit SharedUploads(const std::set<std::string>& names)
      : m_listedNames(names.begin(), names.end()) {}
  explicit SharedUploads(std::vector<std::string> names)
      : m_listedNames(Sorted(std::move(names))) {}
  bool IsListedName(const std::string& name) const {
    return std::binary_search(m_listedNames.begin(), m_listedNames.end(), name);
  }
  std::mutex mutex;
  std::condition_variable sweepDone;
  std::map<std::string, bool> sweeps;  // folder key → swept (false: being swept)
  std::multiset<std::string> writing;

 private:
  static std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    names.shrink_to_fit();
    return names;
  }
  const std::vector<std::string> m_listedNames;  // sorted: one name per entry of a long list
};

class SafeUploader {
 public:
  SafeUploader(FtpClient& ftp, bool temporaryName, std::set<std::string> listedNames);
  // One of several uploaders of a run, each on its own connection and thread.
  SafeUploader(FtpClient& ftp, bool temporaryName, std::shared_ptr<SharedUploads> shared);

  // Puts `localPath` as `name` into the client's current directory; `folderKey` tells that
  // directory apart from the others of the run. `listed`: the directory's names that look
  // like temporary ones, when a listing of it is at hand (else the first put lists it to
  // sweep leftovers). nullopt on success, else the text to show.
  std::optional<std::string> Put(const std::string& folderKey, const std::string& localPath,
                                 const std::string& name, TransferType type,
                                 const std::optional<std::vector<std::string>>& listed = {});

  const std::shared_ptr<SharedUploads>& Shared() const { return m_shared; }

  // ".tolvane-<16 hex digits>.part": hidden, recognisable, one per name (and salt).
  static std::string TemporaryNameFor(const std::string& name, unsigned salt = 0);
  static bool IsTemporaryName(const std::string& name);
  static constexpr const char* kTemporaryNameStart = ".tolvane-";

 private:
  enum class Outcome { Done, Failed, Changed };
  struct Attempt {
    Outcome outcome;
    std::optional<std::string> failure;
  };
  Attempt PutOnce(const std::string& localPath, const std::string& name, TransferType type);
  Attempt PutAs(const std::string& localPath, const std::string& target, TransferType type);
  void SweepLeftovers(const std::string& folderKey,
                      const std::optional<std::vector<std::string>>& listed);
  std::string TemporaryName(const std::string& name) const;

  void Writing(const std::string& temporary, bool on);

  FtpClient& m_ftp;
  bool m_temporaryName;
  std::shared_ptr<SharedUploads> m_shared;
  bool m_renameRefused = false;  // renaming onto the real name failed even after deleting it
};

}  // namespace tolvane
