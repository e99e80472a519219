#include "upload/ListedFolders.h"

#include "ftp/FtpClient.h"
#include "upload/SafeUploader.h"

namespace tolvane {
namespace {

// An MLSD listing costs about three round trips (data connection, the command, its end)
// and an MLST look-up one, so a folder is listed only when four or more entries will look
// in it. A folder's size is not known before its listing arrives: a huge folder with few
// entries in it is the case this count keeps from costing more than it saves. Where a
// look-up itself reads LIST, listing the folder once is never dearer.
int EntriesWorthAListing(FolderListingWay way) { return way == FolderListingWay::Mlsd ? 4 : 1; }

}  // namespace

ListedFolders::ListedFolders(FtpClient& ftp, SafeUploader& uploader,
                             const std::vector<std::string>& entryFolders)
    : m_ftp(ftp), m_uploader(uploader), m_directories(ftp) {
  for (const std::string& folder : entryFolders) ++m_entriesLeft[folder];
}

void ListedFolders::Enter(const std::string& serverFolder, const std::string& folder) {
  DropListingsNoLongerNeeded();
  m_folderHere = folder;
  auto left = m_entriesLeft.find(folder);
  m_entriesHere = left != m_entriesLeft.end() ? left->second-- : 0;
  std::vector<std::string> changes{"/"};
  if (!serverFolder.empty()) changes.push_back(serverFolder);
  if (!folder.empty()) changes.push_back(folder);
  m_directories.Enter(changes);
}

RemoteLookup ListedFolders::Find(const std::string& name) {
  const FtpFolderListing* listing = ListingHere();
  // Listed first all the same: whether a folder is worth a listing is decided by its first
  // look-up, whatever the name.
  if (!IsFindableName(name)) return RemoteLookup::Missing();
  if (listing) {
    FolderAnswer answer = m_ftp.FindInListing(*listing, name);
    if (answer.kind == FolderAnswer::Kind::Found) {
      return RemoteLookup::Found(answer.time, answer.basis, answer.yearShown);
    }
    if (answer.kind == FolderAnswer::Kind::Missing) return RemoteLookup::Missing();
  }
  m_directories.GoToTarget();
  return m_ftp.LookUp(name);
}

std::optional<std::string> ListedFolders::Put(const std::string& localPath, const std::string& name,
                                              TransferType type) {
  // Whatever becomes of the put, the file may have changed; and the folder may be known
  // under another way of reaching it, so every listing forgets the name.
  for (auto& [place, knowledge] : m_known) {
    if (knowledge.listing) m_ftp.ForgetInListing(*knowledge.listing, name);
  }
  m_directories.GoToTarget();
  std::string folderKey;
  for (const std::string& change : m_directories.Target()) folderKey += change + '\n';
  return m_uploader.Put(folderKey, localPath, name, type);
}

std::optional<std::string> ListedFolders::Here() {
  Knowledge& knowledge = m_known[m_directories.Target()];
  // A place's directory stays the same for the run, as DirectoryTracker takes it.
  if (!knowledge.serverPath && m_directories.GoToTarget()) {
    knowledge.serverPath = m_ftp.WorkingDirectory();
  }
  return knowledge.serverPath;
}

FtpFolderListing* ListedFolders::ListingHere() {
  Knowledge& knowledge = m_known[m_directories.Target()];
  knowledge.usedByFolders.insert(m_folderHere);
  if (!knowledge.listing && !knowledge.unlistable) {
    FolderListingWay way = m_ftp.ListingWay();
    if (way != FolderListingWay::None && m_entriesHere >= EntriesWorthAListing(way)) {
      if (m_directories.GoToTarget()) knowledge.listing = m_ftp.ListFolder();
      if (knowledge.listing && knowledge.listing->Bytes() > kMaxKeptListingBytes) {
        knowledge.listing.reset();
      }
      knowledge.unlistable = !knowledge.listing;
    }
  }
  return knowledge.listing ? &*knowledge.listing : nullptr;
}

size_t ListedFolders::KeptListings() const {
  size_t kept = 0;
  for (const auto& [place, knowledge] : m_known) kept += knowledge.listing.has_value();
  return kept;
}

void ListedFolders::DropListingsNoLongerNeeded() {
  for (auto& [place, knowledge] : m_known) {
    if (!knowledge.listing) continue;
    bool needed = false;
    for (const std::string& folder : knowledge.usedByFolders) needed |= m_entriesLeft[folder] > 0;
    if (!needed) knowledge.listing.reset();  // a later entry reaching it here lists it again
  }
}

}  // namespace tolvane
