#include "ftp/FtpFolderListing.h"

#include "ftp/FtpListing.h"
#include "ftp/FtpTimes.h"
#include "platform/AsciiText.h"

namespace tolvane {
namespace {

using Kind = FolderAnswer::Kind;

FolderAnswer AnswerOf(const MlstFacts& facts) {
  // A single MLST says "no such file" for a folder and takes the time of anything else that
  // has one; types other than plain files (links, devices) are left to it.
  if (facts.isDirectory) return {Kind::Missing, 0};
  if (facts.isFile && facts.modifyUtc) return {Kind::Found, *facts.modifyUtc, TimeBasis::Utc};
  return {Kind::AskServer, 0};
}

// Names a server may not treat in a listing as it treats them in a single look-up: hidden
// files (many listings leave out dot files), names a server may trim, and names it may
// read as a pattern or a path.
bool NeedsSingleLookUp(const std::string& name) {
  return name.empty() || name.front() == '.' || name.front() == ' ' || name.back() == ' ' ||
         name.back() == '.' || name.find_first_of("\\*?[~") != std::string::npos;
}

bool IsAscii(const std::string& name) {
  for (unsigned char c : name) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

std::string LooseName(std::string_view wireName) {
  size_t start = wireName.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  size_t end = wireName.find_last_not_of(" .");
  return ToLowerAscii(wireName.substr(start, end == std::string_view::npos ? 0 : end + 1 - start));
}

std::optional<FtpFolderListing> FtpFolderListing::FromMlsd(std::string_view text) {
  FtpFolderListing listing(Source::Mlsd);
  listing.m_bytes = text.size();
  bool readable = true;
  ForEachListingLine(text, [&](std::string_view line) {
    if (line.empty()) return;
    size_t space = line.find(' ');
    std::optional<MlstFacts> facts = ParseFactLine(line);
    if (space == std::string_view::npos || space + 1 >= line.size() || !facts) {
      readable = false;
      return;
    }
    std::string name(line.substr(space + 1));
    FolderAnswer answer = AnswerOf(*facts);
    auto [it, added] = listing.m_entries.emplace(name, answer);
    bool same = it->second.kind == answer.kind && it->second.time == answer.time;
    if (!added && !same) it->second = {Kind::AskServer, 0};  // listed twice, differently
    listing.m_listedLoose.insert(LooseName(name));
    listing.m_names.insert(std::move(name));
  });
  if (!readable) return std::nullopt;
  return listing;
}

FtpFolderListing FtpFolderListing::FromList(std::string_view text, int64_t nowUtc) {
  FtpFolderListing listing(Source::List);
  listing.m_bytes = text.size();
  ForEachListingLine(text, [&](std::string_view line) {
    std::optional<ListedEntry> entry = ParseListLine(line, nowUtc);
    if (!entry) return;
    listing.m_listedLoose.insert(LooseName(entry->name));
    listing.m_names.insert(entry->name);
    // The single look-up takes the first line of that name that is no folder.
    if (!entry->isDirectory) {
      FolderAnswer found{Kind::Found, entry->time, TimeBasis::ListedWallClock, entry->yearShown};
      listing.m_entries.emplace(entry->name, found);
    }
  });
  return listing;
}

FolderAnswer FtpFolderListing::Find(const std::string& wireName) const {
  if (m_forgottenLoose.count(LooseName(wireName)) != 0) return {Kind::AskServer, 0};
  // Without MLST and MDTM a single look-up reads the same LIST by exact name.
  if (m_source == Source::List) return FindExact(wireName);
  if (NeedsSingleLookUp(wireName)) return {Kind::AskServer, 0};
  auto it = m_entries.find(wireName);
  if (it != m_entries.end()) return it->second;
  // Not listed under this exact name: a server that matches names regardless of case (or
  // of Unicode form) might still find it, so "missing" holds only for ASCII names with no
  // loose match in the folder.
  if (!IsAscii(wireName) || m_listedLoose.count(LooseName(wireName)) != 0) {
    return {Kind::AskServer, 0};
  }
  return {Kind::Missing, 0};
}

FolderAnswer FtpFolderListing::FindExact(const std::string& wireName) const {
  auto it = m_entries.find(wireName);
  return it != m_entries.end() ? it->second : FolderAnswer{Kind::Missing, 0};
}

void FtpFolderListing::Forget(const std::string& wireName) {
  m_forgottenLoose.insert(LooseName(wireName));
}

}  // namespace tolvane
