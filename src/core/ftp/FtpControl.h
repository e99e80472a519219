#pragma once
// The control connection: commands out, replies back, each wait bounded. Any transport
// failure (timeout, hang-up, garbage) closes it for good and leaves the reason; nothing here
// reconnects. Every command and reply passes the options' trace hook.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ftp/FtpEndpoint.h"
#include "ftp/FtpOptions.h"
#include "ftp/FtpReply.h"
#include "ftp/FtpReplyReader.h"
#include "ftp/FtpSocket.h"
#include "ftp/FtpTls.h"

namespace tolvane {

class FtpControl {
 public:
  explicit FtpControl(const FtpOptions& options) : m_options(options) {}

  // Ok once connected; otherwise why not.
  FtpResult Open(const FtpEndpoint& endpoint);
  bool IsOpen() const { return m_socket.IsOpen(); }
  void Close();

  // Turns the connection into TLS (at once for implicit FTPS, after AUTH TLS's 234 for
  // explicit) and checks the server's certificate: the system must trust it for the host, or
  // it must be the one `pinnedSha256` names. Any failure closes the connection.
  FtpResult StartTls(const std::string& pinnedSha256);
  bool Encrypted() const { return m_socket.Tls() != nullptr; }
  // The server's certificate once a handshake received one (also when it was refused).
  const std::optional<FtpCertificate>& Certificate() const { return m_certificate; }
  // Makes `data` a TLS connection to the same server: it resumes the control connection's
  // session (servers demand that, so nobody else can slip in data) and must show the same
  // certificate.
  FtpResult SecureData(FtpSocket& data) const;

  // Sends one command line (CR LF added) and returns its final reply.
  // `timeoutMs` < 0: the reply timeout of the options.
  std::optional<FtpReply> Command(const std::string& line, int timeoutMs = -1);
  // Sends two commands at once and returns both final replies, the second's nullopt when the
  // connection failed first. For pairs whose second command must follow the first whatever
  // its answer (a refused first one makes the server refuse the second as out of sequence):
  // one round trip instead of two.
  std::pair<std::optional<FtpReply>, std::optional<FtpReply>> CommandPair(
      const std::string& first, const std::string& second);
  // Sends a command that opens a transfer and returns its first reply, a 1xx one included.
  std::optional<FtpReply> Begin(const std::string& line, int timeoutMs = -1);
  // The next reply, e.g. the final one after a 1xx.
  std::optional<FtpReply> NextReply(int timeoutMs = -1);
  // `reply` if it is final, else the final one that follows it (a server that sends only
  // preliminary replies is treated as garbled).
  std::optional<FtpReply> FinalReply(std::optional<FtpReply> reply);

  // Why the connection failed; Ok while it works.
  FtpResult::Kind Failure() const { return m_failure; }
  // The last 4xx or 5xx reply since ForgetRefusal, if any: why the server would not do
  // something, for the caller that has only a yes or no to go on.
  const std::optional<FtpReply>& LastRefusal() const { return m_lastRefusal; }
  void ForgetRefusal() { m_lastRefusal.reset(); }
  // From now on masked wherever it appears in the trace and in Masked (the password, which
  // some servers echo).
  void Conceal(const std::string& secret);
  // `text` with every concealed secret replaced by a mask that does not tell its length.
  std::string Masked(std::string text) const;
  // Tells the trace hook, if there is one.
  void Trace(const FtpTraceEvent& event) const {
    if (m_options.trace) m_options.trace(event);
  }
  uint64_t CommandCount() const { return m_commandCount; }
  const FtpOptions& Options() const { return m_options; }
  sockaddr_storage LocalAddress() const { return m_socket.LocalAddress(); }
  sockaddr_storage PeerAddress() const { return m_peer; }

 private:
  std::optional<FtpReply> Fail(FtpResult::Kind why);
  // Counts and traces a command line about to be sent.
  void Sending(const std::string& line);

  FtpOptions m_options;
  FtpSocket m_socket;
  FtpReplyReader m_reader;
  sockaddr_storage m_peer{};
  std::string m_host;  // as the server setting names it: SNI and the certificate's name
  std::unique_ptr<FtpTlsContext> m_tls;
  std::optional<FtpCertificate> m_certificate;
  FtpResult::Kind m_failure = FtpResult::Kind::Ok;
  std::vector<std::string> m_secrets;
  uint64_t m_commandCount = 0;
  std::optional<FtpReply> m_lastRefusal;
};

}  // namespace tolvane
