#include "upload/ListedFolders.h"

#include "ftp/FtpClient.h"
#include "upload/SafeUploader.h"

namespace tolvane {
namespace {

// A LIST of a path can answer for something else than the folder: some servers list a
// missing folder as empty, and a path naming a file lists that file. Only a listing that
// shows more is taken for the folder's.
bool ListedTheFolder(const FtpFolderListing& listing, FolderListingWay way,
                     const std::string& path) {
  if (way == FolderListingWay::Mlsd) return true;  // MLSD lists folders only
  if (listing.NameCount() == 0) return false;
  if (listing.NameCount() > 1) return true;
  const std::string only = *listing.Names().begin();
  const std::string last = path.substr(path.rfind('/') + 1);
  return only != last && only != path;
}

}  // namespace

bool ListedFolders::WorthAListing(FolderListingWay way, int entries) {
  // An MLSD listing costs about three round trips (data connection, the command, its end)
  // and an MLST look-up one besides the change of directory it needs, so a folder is listed
  // when two or more entries will look in it. A folder's size is not known before its
  // listing arrives: a huge folder with few entries in it is the case this count keeps from
  // costing more than it saves. Where a look-up itself reads LIST, listing the folder once is
  // never dearer.
  if (way == FolderListingWay::None) return false;
  return entries >= (way == FolderListingWay::Mlsd ? 2 : 1);
}

std::vector<std::string> ListedFolders::ChangesOf(const std::string& serverFolder,
                                                  const std::string& folder) {
  std::vector<std::string> changes{"/"};
  if (!serverFolder.empty()) changes.push_back(serverFolder);
  if (!folder.empty()) changes.push_back(folder);
  return changes;
}

ListedFolders::ListedFolders(FtpClient& ftp, SafeUploader& uploader,
                             const std::vector<std::string>& entryFolders, ListingByPath byPath)
    : m_ftp(ftp), m_uploader(uploader), m_byPath(std::move(byPath)), m_directories(ftp) {
  for (const std::string& folder : entryFolders) ++m_entriesLeft[folder];
  if (!m_byPath) m_byPath = [this](const std::string& path) { return m_ftp.ListFolder(path); };
}

void ListedFolders::Enter(const std::string& serverFolder, const std::string& folder) {
  // The previous entry's changes, if still put off, are never needed: these start at "/".
  DropListingsNoLongerNeeded();
  m_folderHere = folder;
  auto left = m_entriesLeft.find(folder);
  m_entriesHere = left != m_entriesLeft.end() ? left->second-- : 0;
  // The changes wait until the run must be there: a listing by path may spare them.
  m_changes = ChangesOf(serverFolder, folder);
  m_settled = false;
}

void ListedFolders::Settle() {
  if (m_settled) return;
  m_settled = true;
  m_directories.Enter(m_changes);
}

FtpFolderListing* ListedFolders::ListingFromPath(bool& failed) {
  if (m_settled || m_pathRefused) return nullptr;
  std::optional<DirectoryTracker::Place> foreseen = m_directories.Foreseen(m_changes);
  if (!foreseen) return nullptr;
  Knowledge& knowledge = m_known[*foreseen];
  if (knowledge.listing) {
    m_directories.Assume(m_changes);
    m_settled = true;
    return &*knowledge.listing;
  }
  std::optional<std::string> path = DirectoryTracker::PathOf(*foreseen);
  const FolderListingWay way = m_ftp.ListingWay();
  if (knowledge.unlistable || !path || !WorthAListing(way, m_entriesHere)) return nullptr;
  std::optional<FtpFolderListing> listing = m_byPath(*path);
  failed = !listing || !ListedTheFolder(*listing, way, *path);
  if (failed) return nullptr;
  ForgetPuts(*listing);
  m_directories.Assume(m_changes);
  m_settled = true;
  knowledge.usedByFolders.insert(m_folderHere);
  if (listing->Bytes() <= kMaxKeptListingBytes) {
    knowledge.listing = std::move(listing);
  } else {
    knowledge.unlistable = true;
  }
  return knowledge.listing ? &*knowledge.listing : nullptr;
}

RemoteLookup ListedFolders::Find(const std::string& name) {
  bool pathFailed = false;
  const FtpFolderListing* listing = ListingFromPath(pathFailed);
  if (!listing) {
    const std::optional<DirectoryTracker::Place> foreseen = m_directories.Foreseen(m_changes);
    Settle();
    listing = ListingHere();
    // Listed from inside where the path was refused: the server takes no path.
    if (listing && pathFailed && m_directories.Target() == foreseen) m_pathRefused = true;
  }
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
  PutPlace put = PreparePut(name);
  if (!m_directories.GoTo(put.place)) return std::string(kFolderUnreachable);
  return m_uploader.Put(put.folderKey, localPath, name, type, put.listedTemporaryNames);
}

ListedFolders::PutPlace ListedFolders::PreparePut(const std::string& name) {
  Settle();
  m_putNames.insert(name);
  for (auto& [place, knowledge] : m_known) {
    if (knowledge.listing) m_ftp.ForgetInListing(*knowledge.listing, name);
  }
  PutPlace put{m_directories.Target(), {}, std::nullopt};
  for (const std::string& change : put.place) put.folderKey += change + '\n';
  auto known = m_known.find(put.place);
  if (known != m_known.end() && known->second.listing) {
    put.listedTemporaryNames =
        known->second.listing->NamesStartingWith(SafeUploader::kTemporaryNameStart);
  }
  return put;
}

std::optional<std::string> ListedFolders::Here() {
  Settle();
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
    if (WorthAListing(m_ftp.ListingWay(), m_entriesHere)) {
      if (m_directories.GoToTarget()) knowledge.listing = m_ftp.ListFolder();
      if (knowledge.listing) ForgetPuts(*knowledge.listing);
      if (knowledge.listing && knowledge.listing->Bytes() > kMaxKeptListingBytes) {
        knowledge.listing.reset();
      }
      knowledge.unlistable = !knowledge.listing;
    }
  }
  return knowledge.listing ? &*knowledge.listing : nullptr;
}

void ListedFolders::ForgetPuts(FtpFolderListing& listing) {
  // Taken ahead of time, or while a put on another connection was under way: what has been
  // put may be missing from it. On one connection every put ended before the listing began.
  if (!m_putsElsewhere) return;
  for (const std::string& name : m_putNames) m_ftp.ForgetInListing(listing, name);
}

size_t ListedFolders::KeptListings() const {
  size_t kept = 0;
  for (const auto& [place, knowledge] : m_known) kept += knowledge.listing.has_value();
  return kept;
}

void ListedFolders::DropListingsNoLongerNeeded() {
  // The counts fall only as entries are entered, so since the last look only the previous
  // entry's folder line can have run out; while it has entries left, no listing is freed.
  auto left = m_entriesLeft.find(m_folderHere);
  if (left != m_entriesLeft.end() && left->second > 0) return;
  for (auto& [place, knowledge] : m_known) {
    if (!knowledge.listing) continue;
    bool needed = false;
    for (const std::string& folder : knowledge.usedByFolders) needed |= m_entriesLeft[folder] > 0;
    if (!needed) knowledge.listing.reset();  // a later entry reaching it here lists it again
  }
}

}  // namespace tolvane
