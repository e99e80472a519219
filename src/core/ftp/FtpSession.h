#pragma once
// One logged-in FTP session: the control connection, what the server speaks (UTF-8 or code
// page 932), what it lacks, and the transfer type in force. It lives from a successful login
// to the close; it never reconnects.
#include <optional>
#include <set>
#include <string>

#include "ftp/FtpControl.h"
#include "ftp/FtpWireText.h"

namespace tolvane {

// Commands the server showed it does not know or will not take; asked once per session only.
struct FtpLacks {
  bool mlst = false;
  bool mlsd = false;  // MLST without MLSD: folders cannot be listed by MLSD
  bool mdtm = false;
  bool epsv = false;
  bool eprt = false;
  bool listAll = false;  // `LIST -a` not understood: plain LIST (which may hide dot files)
  bool rename = false;   // RNFR/RNTO refused
  bool size = true;      // until FEAT lists SIZE
};

class FtpSession {
 public:
  explicit FtpSession(const FtpOptions& options) : m_control(options) {}

  // Connects, encrypts as `tls` says, reads the greeting, learns the features and logs in.
  // An encrypted session never goes on in clear: a server that will not encrypt the control
  // or the data connections ends it.
  FtpResult Open(const FtpEndpoint& endpoint, const std::string& user, const std::string& password,
                 bool passive, const FtpTlsSettings& tls = {});
  // QUIT (waiting briefly for its reply), then the connection is closed.
  void Quit();

  FtpControl& Control() { return m_control; }
  bool IsOpen() const { return m_control.IsOpen(); }
  bool Passive() const { return m_passive; }
  WireEncoding Encoding() const { return m_encoding; }
  FtpLacks& Lacks() { return m_lacks; }

  // The names in the current directory as a listing showed them, kept up to date with what
  // this session put, renamed and deleted there; nullopt when not known (any change of
  // directory forgets them).
  std::optional<std::set<std::string>>& NamesHere() { return m_namesHere; }
  void NameAdded(const std::string& wireName) {
    if (m_namesHere) m_namesHere->insert(wireName);
  }
  void NameRemoved(const std::string& wireName) {
    if (m_namesHere) m_namesHere->erase(wireName);
  }

  // Puts TYPE A or TYPE I in force (a command only when it changes).
  FtpResult SetType(char type);
  // The failure of a command that got `reply` (or none): the server's refusal with its last
  // reply line made fit to show (the password masked wherever the server echoes it), or why
  // the connection failed.
  FtpResult Refusal(const std::optional<FtpReply>& reply) const;

 private:
  enum class Feat { Listed, Refused, Unknown };
  Feat AskFeatures();
  FtpResult LogIn(const std::string& user, const std::string& password);
  // AUTH TLS and the handshake (explicit FTPS).
  FtpResult Authenticate(const FtpTlsSettings& tls);
  // PBSZ 0 and PROT P: the data connections encrypted too.
  FtpResult ProtectData();
  FtpResult Fail(const std::optional<FtpReply>& reply);

  FtpControl m_control;
  bool m_passive = true;
  WireEncoding m_encoding = WireEncoding::Cp932;
  FtpLacks m_lacks;
  std::optional<std::set<std::string>> m_namesHere;
  char m_type = 0;
};

}  // namespace tolvane
