#pragma once
// What one listing of a server folder (MLSD, else LIST) says about the files in it, read so
// that every answer is the one a look-up of that single name would have given. Where a
// listing cannot promise that (names a server might match loosely, odd types, names put
// since), it says so and the caller asks the server about that name.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/FtpTimes.h"

namespace tolvane {

struct FolderAnswer {
  enum class Kind : uint8_t { Found, Missing, AskServer };
  Kind kind = Kind::AskServer;
  int64_t time = 0;  // when found, as the look-up would report it
  TimeBasis basis = TimeBasis::Utc;
  bool yearShown = true;  // false when a listing line gave no year (see ListedEntry)
};

class FtpFolderListing {
 public:
  // An MLSD reply's data; nullopt when a line is not of the "facts; name" form.
  static std::optional<FtpFolderListing> FromMlsd(std::string_view text);
  // A LIST reply's data, read as a single look-up reads it (`nowUtc` dates yearless lines).
  static FtpFolderListing FromList(std::string_view text, int64_t nowUtc);

  // `wireName` as the server spells it.
  FolderAnswer Find(const std::string& wireName) const;
  // A file of this name was put (or tried): what the listing knew of it, and of names the
  // server may take for the same file, is out of date.
  void Forget(const std::string& wireName);

  // Every name the listing showed, folders included, exactly as the server sent it.
  std::set<std::string> Names() const;
  // The listed names that begin with `prefix`, in byte order.
  std::vector<std::string> NamesStartingWith(std::string_view prefix) const;
  size_t NameCount() const { return m_items.size(); }
  // The size of the listing as it came over the wire.
  size_t Bytes() const { return m_bytes; }

 private:
  enum class Source { Mlsd, List };
  // One listed name. A long listing is held for the whole run beside every other folder's,
  // so the items sit in one sorted vector and the loose names are kept as hashes only.
  struct Item {
    std::string name;
    FolderAnswer answer;
    bool answers = false;  // a look-up of the name would be answered from `answer`
  };
  struct Line {
    std::string name;
    std::optional<FolderAnswer> answer;  // none: a LIST line of a folder
  };

  explicit FtpFolderListing(Source source) : m_source(source) {}
  // Sorts the lines and keeps one item per name, as the single look-up would read them.
  void Keep(std::vector<Line> lines);
  const Item* ItemOf(const std::string& wireName) const;
  FolderAnswer FindExact(const std::string& wireName) const;

  Source m_source;
  size_t m_bytes = 0;
  std::vector<Item> m_items;            // sorted by name, one per name
  std::vector<uint64_t> m_listedLoose;  // sorted hashes of LooseName of every listed name
  std::set<std::string> m_forgottenLoose;
};

// The name as a case-blind server that ignores trailing dots and spaces might read it.
std::string LooseName(std::string_view wireName);

}  // namespace tolvane
