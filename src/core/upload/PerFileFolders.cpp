#include "upload/PerFileFolders.h"

#include "ftp/FtpClient.h"
#include "upload/SafeUploader.h"

namespace tolvane {

void PerFileFolders::Enter(const std::string& serverFolder, const std::string& folder) {
  ftp_.ChangeDirectory("/");
  if (!serverFolder.empty()) ftp_.ChangeDirectory(serverFolder);
  if (!folder.empty()) ftp_.ChangeDirectory(folder);
  place_ = serverFolder + '\n' + folder;
}

RemoteLookup PerFileFolders::Find(const std::string& name) {
  if (!IsFindableName(name)) return RemoteLookup::Missing();
  return ftp_.LookUp(name);
}

std::optional<std::string> PerFileFolders::Put(const std::string& localPath,
                                               const std::string& name, TransferType type) {
  return uploader_.Put(place_, localPath, name, type);
}

}  // namespace tolvane
