#include "upload/PerFileFolders.h"

#include "ftp/FtpClient.h"
#include "upload/SafeUploader.h"

namespace tolvane {

void PerFileFolders::Enter(const std::string& serverFolder, const std::string& folder) {
  m_ftp.ChangeDirectory("/");
  if (!serverFolder.empty()) m_ftp.ChangeDirectory(serverFolder);
  if (!folder.empty()) m_ftp.ChangeDirectory(folder);
  m_place = serverFolder + '\n' + folder;
}

RemoteLookup PerFileFolders::Find(const std::string& name) {
  if (!IsFindableName(name)) return RemoteLookup::Missing();
  return m_ftp.LookUp(name);
}

std::optional<std::string> PerFileFolders::Put(const std::string& localPath,
                                               const std::string& name, TransferType type) {
  return m_uploader.Put(m_place, localPath, name, type);
}

std::optional<std::string> PerFileFolders::Here() { return m_ftp.WorkingDirectory(); }

}  // namespace tolvane
