#pragma once
// The upload run's folders at the cost the work needs: a change of directory only where the
// run has not seen its outcome or must really be there (to list, to put, to ask about one
// file), and look-ups answered from one listing per folder where that is cheaper. The
// results are those of PerFileFolders: the same answers, the same files in the same places.
#include <map>
#include <string>
#include <vector>

#include "transfer/DirectoryTracker.h"
#include "transfer/FtpFolderListing.h"
#include "transfer/RemoteFolders.h"

namespace tolvane {

class FtpClient;

class ListedFolders : public RemoteFolders {
 public:
  // `entryFolders`: every entry's folder line, in list order; how often a folder comes up
  // decides whether it is worth a listing.
  ListedFolders(FtpClient& ftp, const std::vector<std::string>& entryFolders);
  void Enter(const std::string& serverFolder, const std::string& folder) override;
  std::optional<int64_t> Find(const std::string& name) override;
  std::optional<std::string> Put(const std::string& localPath, const std::string& name,
                                 TransferType type) override;

 private:
  struct Knowledge {
    std::optional<FtpFolderListing> listing;
    bool unlistable = false;  // tried and failed: ask per file
  };
  FtpFolderListing* ListingHere();

  FtpClient& ftp_;
  DirectoryTracker directories_;
  std::map<std::string, int> entriesLeft_;  // per folder line, from the current entry on
  int entriesHere_ = 0;
  std::map<DirectoryTracker::Place, Knowledge> known_;
};

}  // namespace tolvane
