#include "ftp/FtpFolderListing.h"

#include <algorithm>
#include <functional>

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

// Two loose names with the same hash only send a look-up to the server that was not needed.
uint64_t LooseHash(std::string_view wireName) {
  return std::hash<std::string>{}(LooseName(wireName));
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
  std::vector<Line> lines;
  ForEachListingLine(text, [&](std::string_view line) {
    if (line.empty() || !readable) return;
    size_t space = line.find(' ');
    std::optional<MlstFacts> facts = ParseFactLine(line);
    if (space == std::string_view::npos || space + 1 >= line.size() || !facts) {
      readable = false;
      return;
    }
    lines.push_back({std::string(line.substr(space + 1)), AnswerOf(*facts)});
  });
  if (!readable) return std::nullopt;
  listing.Keep(std::move(lines));
  return listing;
}

FtpFolderListing FtpFolderListing::FromList(std::string_view text, int64_t nowUtc) {
  FtpFolderListing listing(Source::List);
  listing.m_bytes = text.size();
  std::vector<Line> lines;
  ForEachListingLine(text, [&](std::string_view line) {
    std::optional<ListedEntry> entry = ParseListLine(line, nowUtc);
    if (!entry) return;
    std::optional<FolderAnswer> answer;
    if (!entry->isDirectory) {
      answer = FolderAnswer{Kind::Found, entry->time, TimeBasis::ListedWallClock, entry->yearShown};
    }
    lines.push_back({std::move(entry->name), answer});
  });
  listing.Keep(std::move(lines));
  return listing;
}

void FtpFolderListing::Keep(std::vector<Line> lines) {
  // Stable, so lines of one name stay in the order the server sent them.
  std::stable_sort(lines.begin(), lines.end(),
                   [](const Line& a, const Line& b) { return a.name < b.name; });
  m_listedLoose.reserve(lines.size());
  for (Line& line : lines) {
    m_listedLoose.push_back(LooseHash(line.name));
    if (m_items.empty() || m_items.back().name != line.name) {
      m_items.push_back({std::move(line.name), {}, false});
    }
    Item& item = m_items.back();
    if (!line.answer) continue;
    if (!item.answers) {
      item.answer = *line.answer;
      item.answers = true;
      continue;
    }
    // The single look-up reads LIST's first file line of a name; MLSD lines that disagree
    // leave it to the server.
    const bool same =
        item.answer.kind == line.answer->kind && item.answer.time == line.answer->time;
    if (m_source == Source::Mlsd && !same) item.answer = {Kind::AskServer, 0};
  }
  m_items.shrink_to_fit();
  std::sort(m_listedLoose.begin(), m_listedLoose.end());
}

std::set<std::string> FtpFolderListing::Names() const {
  std::set<std::string> names;
  for (const Item& item : m_items) names.insert(item.name);
  return names;
}

std::vector<std::string> FtpFolderListing::NamesStartingWith(std::string_view prefix) const {
  std::vector<std::string> names;
  auto it = std::lower_bound(m_items.begin(), m_items.end(), prefix,
                             [](const Item& item, std::string_view p) { return item.name < p; });
  for (; it != m_items.end() && it->name.compare(0, prefix.size(), prefix) == 0; ++it) {
    names.push_back(it->name);
  }
  return names;
}

const FtpFolderListing::Item* FtpFolderListing::ItemOf(const std::string& wireName) const {
  auto it =
      std::lower_bound(m_items.begin(), m_items.end(), wireName,
                       [](const Item& item, const std::string& name) { return item.name < name; });
  if (it == m_items.end() || it->name != wireName || !it->answers) return nullptr;
  return &*it;
}

FolderAnswer FtpFolderListing::Find(const std::string& wireName) const {
  if (m_forgottenLoose.count(LooseName(wireName)) != 0) return {Kind::AskServer, 0};
  // Without MLST and MDTM a single look-up reads the same LIST by exact name.
  if (m_source == Source::List) return FindExact(wireName);
  if (NeedsSingleLookUp(wireName)) return {Kind::AskServer, 0};
  if (const Item* item = ItemOf(wireName)) return item->answer;
  // Not listed under this exact name: a server that matches names regardless of case (or
  // of Unicode form) might still find it, so "missing" holds only for ASCII names with no
  // loose match in the folder.
  if (!IsAscii(wireName) ||
      std::binary_search(m_listedLoose.begin(), m_listedLoose.end(), LooseHash(wireName))) {
    return {Kind::AskServer, 0};
  }
  return {Kind::Missing, 0};
}

FolderAnswer FtpFolderListing::FindExact(const std::string& wireName) const {
  const Item* item = ItemOf(wireName);
  return item ? item->answer : FolderAnswer{Kind::Missing, 0};
}

void FtpFolderListing::Forget(const std::string& wireName) {
  m_forgottenLoose.insert(LooseName(wireName));
}

}  // namespace tolvane
