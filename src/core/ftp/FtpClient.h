#pragma once
// The program's FTP client: one control connection, one thread, every call blocking with
// bounded waits while the pump keeps the window painting. It never reconnects by itself and
// never changes the directory behind its caller's back. It speaks the protocol only: what a
// result means to the person, and how the upload run reads server times, is the caller's.
// A call that the pump makes while another call is in progress is refused (Close is carried
// out once the running call returns); the client must not be destroyed from inside the pump.
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "ftp/FtpFileFinder.h"
#include "ftp/FtpOptions.h"
#include "ftp/FtpTls.h"

namespace tolvane {

class FtpSession;

class FtpClient {
 public:
  explicit FtpClient(FtpOptions options = {});
  ~FtpClient();  // closes quietly
  FtpClient(const FtpClient&) = delete;
  FtpClient& operator=(const FtpClient&) = delete;

  // hostField: "host", "host:port", "[v6addr]:port" or "[v6addr]"; port 21 when absent (990
  // for implicit FTPS). Refused (e.g. a wrong password) carries the server's last reply line.
  // With encryption, CertificateUntrusted and CertificateChanged leave the certificate in
  // ServerCertificate(), so the caller can ask about it and connect again with it pinned.
  FtpResult Connect(const std::string& hostField, const std::string& user,
                    const std::string& password, bool passive, const FtpTlsSettings& tls = {});
  // The certificate the last Connect was shown; nullopt without encryption.
  const std::optional<FtpCertificate>& ServerCertificate() const { return m_certificate; }
  // false on any failure; the current directory is then unchanged.
  bool ChangeDirectory(const std::string& path);
  // The current directory as the server names it (PWD), in its own spelling; nullopt when it
  // would not say.
  std::optional<std::string> WorkingDirectory();
  // Last-write time of a file in the current directory: found, missing, or unknown when the
  // server would not tell. An MLST `modify` or MDTM time is UTC; a LIST time is the listed
  // wall-clock time read as UTC (the basis says which), in the clock's current year when the
  // listing shows none (the previous year when that would lie in the future).
  RemoteLookup LookUp(const std::string& name);
  // When the last LookUp came back unknown with the connection still open: the server's
  // refusal that left it so, its last line made fit to show (empty when none was met).
  const std::string& LookUpRefusal() const { return m_lookUpRefusal; }
  // LookUp's time when found.
  std::optional<int64_t> FindFile(const std::string& name);
  // Whether, and how, this server can list a folder so that the listing answers as FindFile
  // would (see FtpFileFinder.h); what it lacks is learnt as the session goes on.
  FolderListingWay ListingWay();
  // The current directory's listing, or with `path` that folder's without entering it; nullopt
  // when the server cannot give one or it failed (a server may take no path at all).
  std::optional<FtpFolderListing> ListFolder(const std::string& path = {});
  // FindFile's answer for `name` taken from a listing of the directory it would look in;
  // AskServer when only FindFile itself can tell.
  FolderAnswer FindInListing(const FtpFolderListing& listing, const std::string& name) const;
  // `name` is being put into that directory (or one that may be the same): forget it.
  void ForgetInListing(FtpFolderListing& listing, const std::string& name) const;
  // What a put did besides succeeding or failing.
  struct PutReport {
    bool started = false;    // the server took the command: a file of that name may be there
    uint64_t bytesSent = 0;  // of the local file
  };
  FtpResult PutFile(const std::string& localPath, const std::string& remoteName, TransferType type,
                    PutReport* report = nullptr);
  bool DeleteFile(const std::string& name);
  enum class RenameResult { Done, Unsupported, TargetRefused };
  // RNFR/RNTO in the current directory. Unsupported: the server will not rename at all (it is
  // not asked again this session); TargetRefused: it would not rename onto `to` (e.g. it
  // exists and the server does not replace files by renaming).
  RenameResult Rename(const std::string& from, const std::string& to);
  // The size the server gives for a file in the current directory (SIZE, where the server
  // lists it as a feature), in the transfer type in force.
  std::optional<uint64_t> SizeOf(const std::string& name);
  // The names in the current directory, dot files included, from a listing taken once per
  // directory and kept up to date with this client's own puts, renames and deletions.
  std::optional<std::set<std::string>> NamesHere();
  // Why the connection is gone (NotConnected when it never failed).
  FtpResult LastFailure() const { return NotConnected(); }
  void Close();  // QUIT, then close; safe to call twice
  bool IsConnected() const;
  // Commands sent on the control connection so far (benchmarks count round trips).
  uint64_t CommandCount() const;

 private:
  // The name as the server spells it, or nullopt with `why` it cannot be sent.
  std::optional<std::string> WireName(const std::string& name, FtpResult* why) const;
  FtpResult NotConnected() const;
  int64_t Now() const;
  void CloseSession();
  class CallGuard;

  FtpOptions m_options;
  std::unique_ptr<FtpSession> m_session;
  std::optional<FtpCertificate> m_certificate;
  uint64_t m_previousCommands = 0;  // of sessions already closed
  bool m_busy = false;              // a call is in progress
  bool m_closeWanted = false;       // Close() arrived while busy
  std::string m_lookUpRefusal;
};

}  // namespace tolvane
