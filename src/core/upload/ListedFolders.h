#pragma once
// The upload run's folders at the cost the work needs: a folder is listed by its path without
// entering it, a change of directory is made only where the run must really be there (to put,
// to ask about one file, or where the server takes no path), and look-ups are answered from
// one listing per folder where that is cheaper. The results are those of PerFileFolders: the
// same answers, the same files in the same places.
#include <functional>
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

  // A folder's listing by its absolute path; nullopt when it could not be had.
  using ListingByPath = std::function<std::optional<FtpFolderListing>(const std::string& path)>;

  // `entryFolders`: every entry's folder line, in list order; how often a folder comes up
  // decides whether it is worth a listing, and when its listing is no longer needed.
  // `byPath` lists folders by path (by default on `ftp` itself).
  ListedFolders(FtpClient& ftp, SafeUploader& uploader,
                const std::vector<std::string>& entryFolders, ListingByPath byPath = {});
  void Enter(const std::string& serverFolder, const std::string& folder) override;
  RemoteLookup Find(const std::string& name) override;
  std::optional<std::string> Put(const std::string& localPath, const std::string& name,
                                 TransferType type) override;
  std::optional<std::string> Here() override;
  // How many folder listings are held now.
  size_t KeptListings() const;

  // Where a put of `name` into the folder entered last goes, for a put made on another
  // connection: the directory and the key SafeUploader::Put takes. Every listing forgets the
  // name from now on, as Put does.
  struct PutPlace {
    DirectoryTracker::Place place;
    std::string folderKey;
    // Names like temporary ones in the folder's listing, when the run holds one: the sweep
    // before the first put then needs no listing of its own.
    std::optional<std::vector<std::string>> listedTemporaryNames;
  };
  PutPlace PreparePut(const std::string& name);
  // Puts are made on other connections too, and may still be under way when a listing is
  // taken: every listing then forgets every name put so far in the run.
  void PutsRunElsewhere() { m_putsElsewhere = true; }
  // Where this connection stands; a put made here goes through it.
  DirectoryTracker& Directories() { return m_directories; }

  // Whether a folder that `entries` entries look in is worth a listing, listed `way`.
  static bool WorthAListing(FolderListingWay way, int entries);
  // The changes of directory an entry makes: "/", the server folder, the entry's folder.
  static std::vector<std::string> ChangesOf(const std::string& serverFolder,
                                            const std::string& folder);

 private:
  struct Knowledge {
    std::optional<FtpFolderListing> listing;
    bool unlistable = false;                // tried and failed, or too large: ask per file
    std::set<std::string> usedByFolders;    // the folder lines that reached it
    std::optional<std::string> serverPath;  // Here(), once asked
  };
  FtpFolderListing* ListingHere();
  // The listing of Predicted(changes) taken by path; the changes then count as made.
  // `failed`: the server was asked and gave none.
  FtpFolderListing* ListingFromPath(bool& failed);
  // Makes the changes of the entry entered last, where they were put off.
  void Settle();
  void DropListingsNoLongerNeeded();

  FtpClient& m_ftp;
  SafeUploader& m_uploader;
  ListingByPath m_byPath;
  DirectoryTracker m_directories;
  std::vector<std::string> m_changes;  // of the entry entered last
  bool m_settled = true;               // m_changes have gone through m_directories
  bool m_pathRefused = false;          // the server lists no folder by its path
  std::set<std::string> m_putNames;    // every name put (or being put) in this run
  bool m_putsElsewhere = false;
  void ForgetPuts(FtpFolderListing& listing);
  std::map<std::string, int> m_entriesLeft;  // per folder line, from the current entry on
  std::string m_folderHere;
  int m_entriesHere = 0;
  std::map<DirectoryTracker::Place, Knowledge> m_known;
};

}  // namespace tolvane
