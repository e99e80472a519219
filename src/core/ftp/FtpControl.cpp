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
  failure_ = Kind::Ok;
  reader_.Reset();
  SteadyTime deadline = DeadlineAfter(options_.connectTimeoutMs);
  std::vector<ResolvedAddress> addresses;
  switch (ResolveHost(endpoint.host, endpoint.port, deadline, options_.pump, addresses)) {
    case ResolveResult::NotFound:
      return FtpResult::Failed(Kind::HostNotFound);
    case ResolveResult::TimedOut:
      return FtpResult::Failed(Kind::ConnectTimeout);
    case ResolveResult::Found:
      break;
  }
  int error = ETIMEDOUT;
  for (const ResolvedAddress& a : addresses) {
    error = socket_.Connect(reinterpret_cast<const sockaddr*>(&a.address), a.length, deadline,
                            options_.pump);
    if (error == 0) {
      peer_ = a.address;
      return {};
    }
    socket_.Close();
    if (error == ETIMEDOUT) break;  // the time is used up
  }
  return FtpResult::Failed(ConnectFailure(error));
}

void FtpControl::Close() {
  socket_.Close();
  reader_.Reset();
}

void FtpControl::Conceal(const std::string& secret) {
  if (!secret.empty()) secrets_.push_back(secret);
}

std::string FtpControl::Masked(std::string text) const {
  for (const std::string& secret : secrets_) {
    for (size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + std::strlen(kMask))) {
      text.replace(at, secret.size(), kMask);
    }
  }
  return text;
}

std::optional<FtpReply> FtpControl::Fail(Kind why) {
  if (failure_ == Kind::Ok) failure_ = why;
  Close();
  return std::nullopt;
}

std::optional<FtpReply> FtpControl::Command(const std::string& line, int timeoutMs) {
  return FinalReply(Begin(line, timeoutMs));
}

std::optional<FtpReply> FtpControl::Begin(const std::string& line, int timeoutMs) {
  if (!IsOpen()) return Fail(Kind::ConnectionLost);
  ++commandCount_;
  if (options_.trace) {
    FtpTraceEvent sent;
    sent.command = line.rfind("PASS ", 0) == 0 ? std::string("PASS ") + kMask : Masked(line);
    Trace(sent);
  }
  int error = socket_.SendAll(line + "\r\n", options_.replyTimeoutMs, options_.pump);
  if (error != 0) return Fail(error == ETIMEDOUT ? Kind::ReplyTimeout : Kind::ConnectionLost);
  return NextReply(timeoutMs);
}

std::optional<FtpReply> FtpControl::NextReply(int timeoutMs) {
  if (!IsOpen()) return Fail(Kind::ConnectionLost);
  SteadyTime deadline = DeadlineAfter(timeoutMs < 0 ? options_.replyTimeoutMs : timeoutMs);
  while (true) {
    if (std::optional<FtpReply> reply = reader_.Next()) {
      if (options_.trace) {
        FtpTraceEvent received{FtpTraceEvent::Kind::Reply, {}, reply->code, {}, 0, {}};
        for (const std::string& l : reply->lines) received.lines.push_back(Masked(l));
        Trace(received);
      }
      // 421: the server is closing the connection; what follows would only fail.
      if (reply->code == 421) {
        failure_ = Kind::ConnectionLost;
        socket_.Close();
      }
      return reply;
    }
    if (reader_.Garbled()) return Fail(Kind::ProtocolError);
    char buffer[4096];
    size_t received = 0;
    int error = socket_.Receive(buffer, sizeof buffer, received, deadline, options_.pump);
    if (error != 0) return Fail(error == ETIMEDOUT ? Kind::ReplyTimeout : Kind::ConnectionLost);
    if (received == 0) return Fail(Kind::ConnectionLost);
    reader_.Feed(std::string_view(buffer, received));
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
