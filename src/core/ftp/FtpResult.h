#pragma once
// What an FTP call came to: done, refused by the server (with its own words), or the transport
// or local reason it could not be done. The client says nothing to the person; the caller picks
// the words for each kind.
#include <string>
#include <utility>

namespace tolvane {

struct FtpResult {
  enum class Kind {
    Ok,
    Refused,            // the server said no; serverLine holds its last reply line
    ConnectRefused,     // nothing listens on the server's port
    Unreachable,        // no route to the server
    HostNotFound,       // the host name does not resolve
    BadHostField,       // the host setting names no server
    ConnectTimeout,     // no connection within the connect bound
    NetworkError,       // any other failure to connect
    ReplyTimeout,       // the server stopped answering on the control connection
    ConnectionLost,     // the control connection broke or the server closed it
    ProtocolError,      // the server's replies or data made no sense
    NotConnected,       // called without a connection
    Busy,               // called from the pump while another call runs
    DataConnectFailed,  // the data connection could not be opened
    DataLost,           // the data connection broke mid-transfer
    DataStalled,        // the data connection stopped moving
    Cancelled,          // the options' cancel broke the transfer off
    LocalFileUnreadable,
    NameUnsendable,         // a CR, LF or NUL in a name
    NameNotConvertible,     // a name code page 932 cannot spell
    AccountUnsendable,      // a CR, LF or NUL in the user name or password
    AccountNotConvertible,  // an account code page 932 cannot spell
    TlsRefused,             // the server would not encrypt (AUTH TLS, PBSZ or PROT refused)
    TlsFailed,              // the TLS handshake failed or the server hung up during it
    CertificateUntrusted,   // the system does not trust the certificate and none is pinned
    CertificateChanged,     // the certificate is neither trusted nor the pinned one
  };

  Kind kind = Kind::Ok;
  // Refused and TlsRefused only: the reply's last line (never empty: it starts with the reply code) made fit
  // to show, the password masked wherever the server echoed it.
  std::string serverLine;

  static FtpResult Failed(Kind kind) { return {kind, {}}; }
  static FtpResult Refusal(std::string line) { return {Kind::Refused, std::move(line)}; }
  bool Succeeded() const { return kind == Kind::Ok; }
  bool operator==(const FtpResult&) const = default;
};

}  // namespace tolvane
