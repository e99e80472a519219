#include "transfer/PerFileFolders.h"

#include "transfer/FtpClient.h"

namespace tolvane {

void PerFileFolders::Enter(const std::string& serverFolder, const std::string& folder) {
  ftp_.ChangeDirectory("/");
  if (!serverFolder.empty()) ftp_.ChangeDirectory(serverFolder);
  if (!folder.empty()) ftp_.ChangeDirectory(folder);
}

std::optional<int64_t> PerFileFolders::Find(const std::string& name) { return ftp_.FindFile(name); }

std::optional<std::string> PerFileFolders::Put(const std::string& localPath,
                                               const std::string& name, TransferType type) {
  return ftp_.PutFile(localPath, name, type);
}

}  // namespace tolvane
