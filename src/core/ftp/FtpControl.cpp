#include "ftp/FtpControl.h"

#include <openssl/ssl.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <vector>

#include "ftp/FtpResolver.h"

namespace tolvane {
namespace {

constexpr int kMaxPreliminaryReplies = 8;

using Kind = FtpResult::Kind;

constexpr const char* kMask = "********";

Kind ConnectFailure(int error) {
  switch (error) {
    case ECONNREFUSED:
      return Kind::ConnectRefused;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
    case EADDRNOTAVAIL:
      return Kind::Unreachable;
    case ETIMEDOUT:
      return Kind::ConnectTimeout;
    default:
      return Kind::NetworkError;
  }
}

}  // namespace

FtpResult FtpControl::Open(const FtpEndpoint& endpoint) {
  Close();
  m_failure = Kind::Ok;
  m_reader.Reset();
  m_host = endpoint.host;
  m_certificate.reset();
  SteadyTime deadline = DeadlineAfter(m_options.connectTimeoutMs);
  std::vector<ResolvedAddress> addresses;
  switch (ResolveHost(endpoint.host, endpoint.port, deadline, m_options.pump, addresses)) {
    case ResolveResult::NotFound:
      return FtpResult::Failed(Kind::HostNotFound);
    case ResolveResult::TimedOut:
      return FtpResult::Failed(Kind::ConnectTimeout);
    case ResolveResult::Found:
      break;
  }
  int error = ETIMEDOUT;
  for (const ResolvedAddress& a : addresses) {
    error = m_socket.Connect(reinterpret_cast<const sockaddr*>(&a.address), a.length, deadline,
                             m_options.pump);
    if (error == 0) {
      m_peer = a.address;
      return {};
    }
    m_socket.Close();
    if (error == ETIMEDOUT) break;  // the time is used up
  }
  return FtpResult::Failed(ConnectFailure(error));
}

void FtpControl::Close() {
  m_socket.Close();
  m_reader.Reset();
}

void FtpControl::Conceal(const std::string& secret) {
  if (!secret.empty()) m_secrets.push_back(secret);
}

std::string FtpControl::Masked(std::string text) const {
  for (const std::string& secret : m_secrets) {
    for (size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + std::strlen(kMask))) {
      text.replace(at, secret.size(), kMask);
    }
  }
  return text;
}

FtpResult FtpControl::StartTls(const std::string& pinnedSha256) {
  if (!IsOpen()) return FtpResult::Failed(Kind::ConnectionLost);
  if (!m_tls) m_tls = FtpTlsContext::Create();
  if (!m_tls) {
    Fail(Kind::TlsFailed);
    return FtpResult::Failed(Kind::TlsFailed);
  }
  int error = m_socket.StartTls(m_tls->Get(), m_host, nullptr,
                                DeadlineAfter(m_options.replyTimeoutMs), m_options.pump);
  X509* certificate = error == 0 ? SSL_get0_peer_certificate(m_socket.Tls()) : nullptr;
  if (!certificate) {
    // A handshake that stalls is cut as a reply that never comes would be.
    Fail(error == ETIMEDOUT ? Kind::ReplyTimeout : Kind::TlsFailed);
    return FtpResult::Failed(m_failure);
  }
  m_certificate = DescribeCertificate(certificate, SSL_get_verify_result(m_socket.Tls()));
  std::string pin = pinnedSha256;
  std::transform(pin.begin(), pin.end(), pin.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (m_certificate->trouble == FtpCertificate::Trouble::None || pin == m_certificate->sha256) {
    return {};
  }
  Fail(pin.empty() ? Kind::CertificateUntrusted : Kind::CertificateChanged);
  return FtpResult::Failed(m_failure);
}

FtpResult FtpControl::SecureData(FtpSocket& data) const {
  if (!m_tls || !m_certificate || !m_socket.Tls()) return FtpResult::Failed(Kind::TlsFailed);
  // Taken now, not after the login: TLS 1.3 hands out its session tickets after the
  // handshake, and the replies read since have brought them in.
  SSL_SESSION* session = SSL_get1_session(m_socket.Tls());
  int error = data.StartTls(m_tls->Get(), m_host, session, DeadlineAfter(m_options.replyTimeoutMs),
                            m_options.pump);
  SSL_SESSION_free(session);
  if (error == ETIMEDOUT) return FtpResult::Failed(Kind::DataStalled);
  if (error == ECANCELED) return FtpResult::Failed(Kind::Cancelled);
  X509* certificate = error == 0 ? SSL_get0_peer_certificate(data.Tls()) : nullptr;
  if (!certificate || CertificateSha256(certificate) != m_certificate->sha256) {
    return FtpResult::Failed(Kind::TlsFailed);
  }
  return {};
}

std::optional<FtpReply> FtpControl::Fail(Kind why) {
  if (m_failure == Kind::Ok) m_failure = why;
  Close();
  return std::nullopt;
}

std::optional<FtpReply> FtpControl::Command(const std::string& line, int timeoutMs) {
  return FinalReply(Begin(line, timeoutMs));
}

void FtpControl::Sending(const std::string& line) {
  ++m_commandCount;
  if (m_options.trace) {
    FtpTraceEvent sent;
    sent.command = line.rfind("PASS ", 0) == 0 ? std::string("PASS ") + kMask : Masked(line);
    Trace(sent);
  }
}

std::optional<FtpReply> FtpControl::Begin(const std::string& line, int timeoutMs) {
  if (!IsOpen()) return Fail(Kind::ConnectionLost);
  Sending(line);
  int error = m_socket.SendAll(line + "\r\n", m_options.replyTimeoutMs, m_options.pump);
  if (error != 0) return Fail(error == ETIMEDOUT ? Kind::ReplyTimeout : Kind::ConnectionLost);
  return NextReply(timeoutMs);
}

std::pair<std::optional<FtpReply>, std::optional<FtpReply>> FtpControl::CommandPair(
    const std::string& first, const std::string& second) {
  if (!IsOpen()) return {Fail(Kind::ConnectionLost), std::nullopt};
  Sending(first);
  Sending(second);
  const int error =
      m_socket.SendAll(first + "\r\n" + second + "\r\n", m_options.replyTimeoutMs, m_options.pump);
  if (error != 0) {
    return {Fail(error == ETIMEDOUT ? Kind::ReplyTimeout : Kind::ConnectionLost), std::nullopt};
  }
  std::optional<FtpReply> firstReply = FinalReply(NextReply());
  if (!firstReply) return {std::nullopt, std::nullopt};
  return {firstReply, FinalReply(NextReply())};
}

std::optional<FtpReply> FtpControl::NextReply(int timeoutMs) {
  if (!IsOpen()) return Fail(Kind::ConnectionLost);
  SteadyTime deadline = DeadlineAfter(timeoutMs < 0 ? m_options.replyTimeoutMs : timeoutMs);
  while (true) {
    if (std::optional<FtpReply> reply = m_reader.Next()) {
      if (m_options.trace) {
        FtpTraceEvent received{FtpTraceEvent::Kind::Reply, {}, reply->code, {}, 0, {}};
        for (const std::string& l : reply->lines) received.lines.push_back(Masked(l));
        Trace(received);
      }
      // 421: the server is closing the connection; what follows would only fail.
      if (reply->code == 421) {
        m_failure = Kind::ConnectionLost;
        m_socket.Close();
      }
      if (reply->code >= 400) m_lastRefusal = reply;
      return reply;
    }
    if (m_reader.Garbled()) return Fail(Kind::ProtocolError);
    char buffer[4096];
    size_t received = 0;
    int error = m_socket.Receive(buffer, sizeof buffer, received, deadline, m_options.pump);
    if (error != 0) return Fail(error == ETIMEDOUT ? Kind::ReplyTimeout : Kind::ConnectionLost);
    if (received == 0) return Fail(Kind::ConnectionLost);
    m_reader.Feed(std::string_view(buffer, received));
  }
}

std::optional<FtpReply> FtpControl::FinalReply(std::optional<FtpReply> reply) {
  for (int count = 0; reply && reply->Preliminary(); ++count) {
    if (count == kMaxPreliminaryReplies) return Fail(Kind::ProtocolError);
    reply = NextReply();
  }
  return reply;
}

}  // namespace tolvane
