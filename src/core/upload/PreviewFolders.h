#pragma once
// The folders of a preview: everything the run would look up is looked up on the server, and
// nothing is put there. A put is only noted, and from then on a look-up of that name in that
// directory answers as the server would after the real put: found, dated the moment of the
// put. So a later entry that puts the same file decides as it would in the real run.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "upload/RemoteFolders.h"

namespace tolvane {

class Clock;

class PreviewFolders : public RemoteFolders {
 public:
  // `inner` does the entering and looking up; `clock` and the clock correction date the puts.
  PreviewFolders(RemoteFolders& inner, Clock& clock, int32_t clockCorrectionMinutes)
      : m_inner(inner), m_clock(clock), m_clockCorrectionMinutes(clockCorrectionMinutes) {}

  void Enter(const std::string& serverFolder, const std::string& folder) override;
  RemoteLookup Find(const std::string& name) override;
  // Notes the put and reports success; the server hears nothing of it.
  std::optional<std::string> Put(const std::string& localPath, const std::string& name,
                                 TransferType type) override;
  std::optional<std::string> Here() override { return m_inner.Here(); }

  // Whether the last Find answered with a put noted here.
  bool FoundAPut() const { return m_foundAPut; }

 private:
  // The directory entered last: the server's name for it, or where the server would not
  // say, the entry's folder lines.
  std::string DirectoryKey();

  RemoteFolders& m_inner;
  Clock& m_clock;
  int32_t m_clockCorrectionMinutes;
  std::string m_enteredLines;
  std::set<std::string> m_putNames;
  std::map<std::pair<std::string, std::string>, RemoteLookup> m_puts;  // (directory, name)
  bool m_foundAPut = false;
};

}  // namespace tolvane
