#include "ftp/FtpFileFinder.h"

#include "ftp/FtpDataChannel.h"
#include "ftp/FtpTimes.h"

namespace tolvane {
namespace {

// The answer of one way of asking: known (found, missing or unknowable), or ask the next way.
struct Answer {
  bool known = false;
  RemoteLookup lookup;
};
const Answer kAskNext{};
Answer Known(RemoteLookup lookup) { return {true, lookup}; }

// A listing by LIST, with dot files where the server shows them: `LIST -a` is not standard,
// so a server that refuses it, or answers it with nothing while plain LIST shows names, gets
// plain LIST from then on.
std::optional<std::string> ReceiveList(FtpSession& session) {
  if (!session.Lacks().listAll) {
    FtpDataChannel channel(session);
    if (channel.Start("LIST -a").Succeeded()) {
      std::optional<std::string> text = channel.ReceiveAll();
      if (!text || text->find_first_not_of("\r\n") != std::string::npos) return text;
    } else if (!session.IsOpen() || !(channel.Refused() || channel.RefusedCode() == 501)) {
      return std::nullopt;
    } else {
      session.Lacks().listAll = true;
    }
    // Empty: a truly empty folder, or "-a" read as a name no file has.
    FtpDataChannel plain(session);
    if (!plain.Start("LIST").Succeeded()) return std::nullopt;
    std::optional<std::string> text = plain.ReceiveAll();
    if (text && text->find_first_not_of("\r\n") != std::string::npos) {
      session.Lacks().listAll = true;
    }
    return text;
  }
  FtpDataChannel channel(session);
  if (!channel.Start("LIST").Succeeded()) return std::nullopt;
  return channel.ReceiveAll();
}

std::optional<std::string> ReceiveMlsd(FtpSession& session) {
  FtpDataChannel channel(session);
  if (!channel.Start("MLSD").Succeeded()) {
    if (channel.Refused()) session.Lacks().mlsd = true;
    return std::nullopt;
  }
  return channel.ReceiveAll();
}

// A listing of another folder, named by its path. A refusal says nothing about the command
// itself (the folder may be missing, or the server may take no path), so nothing is learnt.
std::optional<std::string> ReceiveAt(FtpSession& session, const std::string& command) {
  FtpDataChannel channel(session);
  if (!channel.Start(command).Succeeded()) return std::nullopt;
  return channel.ReceiveAll();
}

// A listing of the current directory by MLSD or LIST; its names become the session's.
std::optional<FtpFolderListing> ListBy(FtpSession& session, bool mlsd, int64_t nowUtc) {
  std::optional<FtpFolderListing> listing;
  if (mlsd) {
    if (std::optional<std::string> text = ReceiveMlsd(session)) {
      listing = FtpFolderListing::FromMlsd(*text);
    }
  } else if (std::optional<std::string> text = ReceiveList(session)) {
    listing = FtpFolderListing::FromList(*text, nowUtc);
  }
  if (listing) session.NamesHere() = listing->Names();
  return listing;
}

// A look-up was refused: the listing decides whether the file is absent or the command
// unusable (then `unusable` is set and the next way is asked).
Answer Refused(FtpSession& session, const std::string& wireName, int64_t nowUtc, bool& unusable) {
  if (!LearnNamesHere(session, nowUtc)) return Known(RemoteLookup::Unknown());
  if (session.NamesHere()->count(wireName) == 0) return Known(RemoteLookup::Missing());
  unusable = true;
  return kAskNext;
}

Answer AskMlst(FtpSession& session, const std::string& wireName, int64_t nowUtc) {
  std::optional<FtpReply> reply = session.Control().Command("MLST " + wireName);
  if (!reply) return Known(RemoteLookup::Unknown());
  if (reply->NotImplemented() || reply->code == 504) {
    session.Lacks().mlst = true;
    return kAskNext;
  }
  if (!reply->Completed()) return Refused(session, wireName, nowUtc, session.Lacks().mlst);
  std::optional<MlstFacts> facts = ParseMlstReply(*reply);
  if (facts && facts->isDirectory) return Known(RemoteLookup::Missing());
  if (!facts || !facts->modifyUtc) return kAskNext;  // there, but its time must come elsewhere
  return Known(RemoteLookup::Found(*facts->modifyUtc, TimeBasis::Utc));
}

Answer AskMdtm(FtpSession& session, const std::string& wireName, int64_t nowUtc) {
  std::optional<FtpReply> reply = session.Control().Command("MDTM " + wireName);
  if (!reply) return Known(RemoteLookup::Unknown());
  if (reply->NotImplemented() || reply->code == 504) {
    session.Lacks().mdtm = true;
    return kAskNext;
  }
  if (reply->code != 213) return Refused(session, wireName, nowUtc, session.Lacks().mdtm);
  std::optional<int64_t> time = ParseMdtmReply(*reply);
  if (!time) return kAskNext;
  return Known(RemoteLookup::Found(*time, TimeBasis::Utc));
}

RemoteLookup SearchListing(FtpSession& session, const std::string& wireName, int64_t nowUtc) {
  std::optional<FtpFolderListing> listing = ListBy(session, false, nowUtc);
  if (!listing) return RemoteLookup::Unknown();
  FolderAnswer answer = listing->Find(wireName);
  if (answer.kind != FolderAnswer::Kind::Found) return RemoteLookup::Missing();
  return RemoteLookup::Found(answer.time, answer.basis, answer.yearShown);
}

}  // namespace

RemoteLookup FindRemoteFile(FtpSession& session, const std::string& wireName, int64_t nowUtc) {
  if (!session.Lacks().mlst) {
    Answer answer = AskMlst(session, wireName, nowUtc);
    if (answer.known) return answer.lookup;
  }
  if (!session.Lacks().mdtm) {
    Answer answer = AskMdtm(session, wireName, nowUtc);
    if (answer.known) return answer.lookup;
  }
  if (!session.IsOpen()) return RemoteLookup::Unknown();
  return SearchListing(session, wireName, nowUtc);
}

FolderListingWay RemoteFolderListingWay(FtpSession& session) {
  const FtpLacks& lacks = session.Lacks();
  if (!session.IsOpen()) return FolderListingWay::None;
  if (!lacks.mlst && !lacks.mlsd) return FolderListingWay::Mlsd;
  if (lacks.mlst && lacks.mdtm) return FolderListingWay::List;
  return FolderListingWay::None;
}

std::optional<FtpFolderListing> ListRemoteFolder(FtpSession& session, int64_t nowUtc,
                                                 const std::string& wirePath) {
  FolderListingWay way = RemoteFolderListingWay(session);
  if (way == FolderListingWay::None) return std::nullopt;
  if (wirePath.empty()) return ListBy(session, way == FolderListingWay::Mlsd, nowUtc);
  if (way == FolderListingWay::Mlsd) {
    std::optional<std::string> text = ReceiveAt(session, "MLSD " + wirePath);
    return text ? FtpFolderListing::FromMlsd(*text) : std::nullopt;
  }
  const char* list = session.Lacks().listAll ? "LIST " : "LIST -a ";
  std::optional<std::string> text = ReceiveAt(session, list + wirePath);
  if (!text) return std::nullopt;
  return FtpFolderListing::FromList(*text, nowUtc);
}

bool LearnNamesHere(FtpSession& session, int64_t nowUtc) {
  if (session.NamesHere()) return true;
  if (!session.Lacks().mlsd && ListBy(session, true, nowUtc)) return true;
  return session.IsOpen() && ListBy(session, false, nowUtc).has_value();
}

}  // namespace tolvane
