#pragma once
// The upload run: walks one list and puts every file that is newer locally than on the server
// into its server folder, showing each step in the status lines.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/MainView.h"
#include "transfer/FtpOptions.h"

namespace tolvane {

class FtpClient;
class RemoteFolders;

inline constexpr const char* kServerAheadText =
    "サーバーの時刻が進んでいます。時間確認で補正を確かめてください";

enum class UploadMode : uint8_t {
  Newer = 0,        // missing on the server, or newer locally at minute precision
  NewerOrSame = 1,  // also when both are of the same minute
  Unchecked = 2,    // always; the server is not asked
};

// The comparison of one entry: the server time gets the clock correction, the one-year repair
// and the fixed 9-hour shift, then both are compared as local "%Y%m%d%H%M" stamps.
// `now` is the current time plus 9 hours, as the run takes it.
bool ShouldUpload(int64_t localTime, int64_t remoteTime, int64_t now, int32_t stimeMinutes,
                  UploadMode mode);

// How the run finds its way on the server. Both give the same results; PerFile asks about
// every entry by itself and stays as the reference the faster way is checked against.
enum class UploadMethod { Listed, PerFile };

class UploadRun {
 public:
  explicit UploadRun(MainContext& ctx, FtpOptions options = {},
                     UploadMethod method = UploadMethod::Listed);

  // The upload button, or the schedule tick with m_timerIndex set. Returns when the run ended.
  void OnUpload();

 private:
  UploadMode PickMode() const;
  std::optional<std::string> PickListName();
  void Connected(UploadMode mode, const std::vector<std::string>& lines, FtpClient& ftp);
  void UploadEntries(UploadMode mode, const std::vector<std::string>& lines, FtpClient& ftp);
  // False when the connection is gone and the run cannot go on.
  bool UploadEntry(UploadMode mode, uint16_t entry, const std::string& localPath,
                   const std::string& folder, int64_t now, RemoteFolders& folders,
                   FtpClient& ftp);
  void ShowIdle();
  // Tells once per run when a server time lies ahead of the corrected local clock.
  void NoticeServerAhead(int64_t remoteTime);

  MainContext& ctx_;
  FtpOptions options_;
  UploadMethod method_;
  bool serverAheadTold_ = false;
};

}  // namespace tolvane
