#include "transfer/FtpFileFinder.h"

#include "transfer/FtpDataChannel.h"
#include "transfer/FtpListing.h"
#include "transfer/FtpTimes.h"

namespace tolvane {
namespace {

// The answer of one way of asking: known (found with a time, or missing), or ask the next way.
struct Answer {
  bool known = false;
  std::optional<int64_t> time;
};
constexpr Answer kAskNext{};
constexpr Answer kMissing{true, std::nullopt};

Answer AskMlst(FtpSession& session, const std::string& wireName) {
  std::optional<FtpReply> reply = session.Control().Command("MLST " + wireName);
  if (!reply) return kMissing;
  if (reply->NotImplemented()) {
    session.Lacks().mlst = true;
    return kAskNext;
  }
  if (!reply->Completed()) return kMissing;
  std::optional<MlstFacts> facts = ParseMlstReply(*reply);
  if (facts && facts->isDirectory) return kMissing;
  if (!facts || !facts->modifyUtc) return kAskNext;  // there, but its time must come elsewhere
  return {true, *facts->modifyUtc + kUtcReportShift};
}

Answer AskMdtm(FtpSession& session, const std::string& wireName) {
  std::optional<FtpReply> reply = session.Control().Command("MDTM " + wireName);
  if (!reply) return kMissing;
  if (reply->NotImplemented()) {
    session.Lacks().mdtm = true;
    return kAskNext;
  }
  if (reply->code != 213) return kMissing;
  std::optional<int64_t> time = ParseMdtmReply(*reply);
  if (!time) return kAskNext;
  return {true, *time + kUtcReportShift};
}

std::optional<int64_t> SearchListing(FtpSession& session, const std::string& wireName,
                                     int64_t nowUtc) {
  FtpDataChannel channel(session);
  if (channel.Start("LIST")) return std::nullopt;
  std::optional<std::string> listing = channel.ReceiveAll();
  if (!listing) return std::nullopt;
  size_t start = 0;
  while (start < listing->size()) {
    size_t end = listing->find('\n', start);
    if (end == std::string::npos) end = listing->size();
    std::string_view line(listing->data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::optional<ListedEntry> entry = ParseListLine(line, nowUtc);
    if (entry && !entry->isDirectory && entry->name == wireName) return entry->time;
    start = end + 1;
  }
  return std::nullopt;
}

}  // namespace

std::optional<int64_t> FindRemoteFile(FtpSession& session, const std::string& wireName,
                                      int64_t nowUtc) {
  if (!session.Lacks().mlst) {
    Answer answer = AskMlst(session, wireName);
    if (answer.known) return answer.time;
  }
  if (!session.Lacks().mdtm) {
    Answer answer = AskMdtm(session, wireName);
    if (answer.known) return answer.time;
  }
  if (!session.IsOpen()) return std::nullopt;
  return SearchListing(session, wireName, nowUtc);
}

}  // namespace tolvane
