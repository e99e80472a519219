#pragma once
// The plain way: every entry changes to "/", the server folder and its folder, and asks the
// server about its file by itself. The reference the faster way is held to.
#include "transfer/RemoteFolders.h"

namespace tolvane {

class FtpClient;

class PerFileFolders : public RemoteFolders {
 public:
  explicit PerFileFolders(FtpClient& ftp) : ftp_(ftp) {}
  void Enter(const std::string& serverFolder, const std::string& folder) override;
  std::optional<int64_t> Find(const std::string& name) override;
  std::optional<std::string> Put(const std::string& localPath, const std::string& name,
                                 TransferType type) override;

 private:
  FtpClient& ftp_;
};

}  // namespace tolvane
