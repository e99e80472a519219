#include "upload/PreviewFolders.h"

#include "Seams.h"

namespace tolvane {

void PreviewFolders::Enter(const std::string& serverFolder, const std::string& folder) {
  m_inner.Enter(serverFolder, folder);
  m_enteredLines = serverFolder + '\n' + folder;
}

RemoteLookup PreviewFolders::Find(const std::string& name) {
  m_foundAPut = false;
  // A name the run never asks about stays missing after its put, too.
  if (IsFindableName(name) && m_putNames.count(name) != 0) {
    auto put = m_puts.find({DirectoryKey(), name});
    if (put != m_puts.end()) {
      m_foundAPut = true;
      return put->second;
    }
  }
  return m_inner.Find(name);
}

std::optional<std::string> PreviewFolders::Put(const std::string&, const std::string& name,
                                               TransferType) {
  // The server stamps the file with its own clock as the put ends. The clock check sets the
  // correction so that the server's clock, corrected, reads the local clock: corrected, the
  // put is dated now, and the minute comparison of a later entry sees what it would see had
  // the run gone ahead at this moment. Reported as a UTC look-up time, which has its year.
  const int64_t serverNow = m_clock.Now() - static_cast<int64_t>(m_clockCorrectionMinutes) * 60;
  m_puts[{DirectoryKey(), name}] = RemoteLookup::Found(serverNow, TimeBasis::Utc);
  m_putNames.insert(name);
  return std::nullopt;
}

std::string PreviewFolders::DirectoryKey() {
  if (std::optional<std::string> path = m_inner.Here()) return "server " + *path;
  return "lines " + m_enteredLines;
}

}  // namespace tolvane
