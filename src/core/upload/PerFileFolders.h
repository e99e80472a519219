#pragma once
// The plain way: every entry changes to "/", the server folder and its folder, and asks the
// server about its file by itself. The reference the faster way is held to.
#include "upload/RemoteFolders.h"

namespace tolvane {

class FtpClient;
class SafeUploader;

class PerFileFolders : public RemoteFolders {
 public:
  PerFileFolders(FtpClient& ftp, SafeUploader& uploader) : m_ftp(ftp), m_uploader(uploader) {}
  void Enter(const std::string& serverFolder, const std::string& folder) override;
  RemoteLookup Find(const std::string& name) override;
  std::optional<std::string> Put(const std::string& localPath, const std::string& name,
                                 TransferType type) override;
  std::optional<std::string> Here() override;

 private:
  FtpClient& m_ftp;
  SafeUploader& m_uploader;
  std::string m_place;  // the changes of the entry entered last
};

}  // namespace tolvane
