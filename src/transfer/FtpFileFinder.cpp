#include "transfer/FtpFileFinder.h"

#include "transfer/FtpDataChannel.h"
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
  FolderAnswer answer = FtpFolderListing::FromList(*listing, nowUtc).Find(wireName);
  if (answer.kind != FolderAnswer::Kind::Found) return std::nullopt;
  return answer.time;
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

FolderListingWay RemoteFolderListingWay(FtpSession& session) {
  const FtpLacks& lacks = session.Lacks();
  if (!session.IsOpen()) return FolderListingWay::None;
  if (!lacks.mlst && !lacks.mlsd) return FolderListingWay::Mlsd;
  if (lacks.mlst && lacks.mdtm) return FolderListingWay::List;
  return FolderListingWay::None;
}

std::optional<FtpFolderListing> ListRemoteFolder(FtpSession& session, int64_t nowUtc) {
  FolderListingWay way = RemoteFolderListingWay(session);
  if (way == FolderListingWay::None) return std::nullopt;
  const bool mlsd = way == FolderListingWay::Mlsd;
  FtpDataChannel channel(session);
  if (channel.Start(mlsd ? "MLSD" : "LIST")) {
    int code = channel.RefusedCode();
    if (mlsd && (code == 500 || code == 502)) session.Lacks().mlsd = true;
    return std::nullopt;
  }
  std::optional<std::string> text = channel.ReceiveAll();
  if (!text) return std::nullopt;
  if (mlsd) return FtpFolderListing::FromMlsd(*text);
  return FtpFolderListing::FromList(*text, nowUtc);
}

}  // namespace tolvane
