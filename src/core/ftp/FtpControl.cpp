#include "ftp/FtpControl.h"

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

std::optional<FtpReply> FtpControl::Fail(Kind why) {
  if (m_failure == Kind::Ok) m_failure = why;
  Close();
  return std::nullopt;
}

std::optional<FtpReply> FtpControl::Command(const std::string& line, int timeoutMs) {
  return FinalReply(Begin(line, timeoutMs));
}

std::optional<FtpReply> FtpControl::Begin(const std::string& line, int timeoutMs) {
  if (!IsOpen()) return Fail(Kind::ConnectionLost);
  ++m_commandCount;
  if (m_options.trace) {
    FtpTraceEvent sent;
    sent.command = line.rfind("PASS ", 0) == 0 ? std::string("PASS ") + kMask : Masked(line);
    Trace(sent);
  }
  int error = m_socket.SendAll(line + "\r\n", m_options.replyTimeoutMs, m_options.pump);
  if (error != 0) return Fail(error == ETIMEDOUT ? Kind::ReplyTimeout : Kind::ConnectionLost);
  return NextReply(timeoutMs);
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
