#include "upload/FolderPrefetch.h"

#include "ftp/FtpClient.h"

namespace tolvane {

FolderPrefetch::FolderPrefetch(ConnectionPool& pool, std::vector<std::string> paths, size_t ahead,
                               std::function<void()> waiting)
    : m_pool(pool), m_paths(std::move(paths)), m_ahead(ahead), m_waiting(std::move(waiting)) {
  TopUp();
}

void FolderPrefetch::TopUp() {
  while (m_fetching.size() < m_ahead && m_next < m_paths.size()) {
    const std::string& path = m_paths[m_next++];
    auto listing = std::make_shared<std::optional<FtpFolderListing>>();
    auto task = m_pool.Submit([path, listing](PoolConnection& connection) {
      *listing = connection.ftp.ListFolder(path);
    });
    m_fetching.emplace(path, Fetch{task, listing});
  }
  if (m_next == m_paths.size()) m_paths = {};  // all asked for: the paths are no longer needed
}

std::optional<FtpFolderListing> FolderPrefetch::ListingOf(const std::string& path, FtpClient& own) {
  auto fetching = m_fetching.find(path);
  if (fetching == m_fetching.end()) {
    TopUp();
    return own.ListFolder(path);
  }
  Fetch fetch = std::move(fetching->second);
  m_fetching.erase(fetching);
  m_pool.Wait(fetch.task, m_waiting);
  TopUp();
  return std::move(*fetch.listing);
}

}  // namespace tolvane
