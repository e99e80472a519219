#pragma once
// The upload run's folders at the cost the work needs: a change of directory only where the
// run has not seen its outcome or must really be there (to list, to put, to ask about one
// file), and look-ups answered from one listing per folder where that is cheaper. The
// results are those of PerFileFolders: the same answers, the same files in the same places.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ftp/FtpFolderListing.h"
#include "upload/DirectoryTracker.h"
#include "upload/RemoteFolders.h"

namespace tolvane {

class FtpClient;
class SafeUploader;

class ListedFolders : public RemoteFolders {
 public:
  // A listing larger than this is not kept: the folder's files are asked about one by one.
  static constexpr size_t kMaxKeptListingBytes = 4u << 20;

  // `entryFolders`: every entry's folder line, in list order; how often a folder comes up
  // decides whether it is worth a listing, and when its listing is no longer needed.
  ListedFolders(FtpClient& ftp, SafeUploader& uploader,
                const std::vector<std::string>& entryFolders);
  void Enter(const std::string& serverFolder, const std::string& folder) override;
  RemoteLookup Find(const std::string& name) override;
  std::optional<std::string> Put(const std::string& localPath, const std::string& name,
                                 TransferType type) override;
  std::optional<std::string> Here() override;
  // How many folder listings are held now.
  size_t KeptListings() const;

 private:
  struct Knowledge {
    std::optional<FtpFolderListing> listing;
    bool unlistable = false;                // tried and failed, or too large: ask per file
    std::set<std::string> usedByFolders;    // the folder lines that reached it
    std::optional<std::string> serverPath;  // Here(), once asked
  };
  FtpFolderListing* ListingHere();
  void DropListingsNoLongerNeeded();

  FtpClient& m_ftp;
  SafeUploader& m_uploader;
  DirectoryTracker m_directories;
  std::map<std::string, int> m_entriesLeft;  // per folder line, from the current entry on
  std::string m_folderHere;
  int m_entriesHere = 0;
  std::map<DirectoryTracker::Place, Knowledge> m_known;
};

}  // namespace tolvane
