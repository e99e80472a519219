#pragma once
// The listings a run will need, taken ahead of time over the extra connections: the folders
// in the order the list first needs them, a few at a time, so that a decision waits only for
// its own folder's listing and no more listings are held than are about to be read.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ftp/FtpFolderListing.h"
#include "upload/ConnectionPool.h"

namespace tolvane {

class FtpClient;

class FolderPrefetch {
 public:
  // `paths`: absolute folder paths in the order they are first needed. `ahead`: how many
  // listings may be asked for (or held) before they are read. `waiting`: see Wait.
  FolderPrefetch(ConnectionPool& pool, std::vector<std::string> paths, size_t ahead,
                 std::function<void()> waiting);

  // The listing of `path`: the one taken ahead, else one taken now on `own`.
  std::optional<FtpFolderListing> ListingOf(const std::string& path, FtpClient& own);

 private:
  struct Fetch {
    std::shared_ptr<ConnectionPool::Task> task;
    std::shared_ptr<std::optional<FtpFolderListing>> listing;
  };
  void TopUp();

  ConnectionPool& m_pool;
  std::vector<std::string> m_paths;
  size_t m_next = 0;
  size_t m_ahead;
  std::function<void()> m_waiting;
  std::map<std::string, Fetch> m_fetching;
};

}  // namespace tolvane
