#include "transfer/FtpControl.h"

#include <cerrno>
#include <vector>

#include "transfer/FtpResolver.h"
#include "transfer/FtpTexts.h"

namespace tolvane {
namespace {

constexpr int kMaxPreliminaryReplies = 8;

const char* ConnectFailure(int error) {
  switch (error) {
    case ECONNREFUSED:
      return kFtpRefused;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN:
    case EADDRNOTAVAIL:
      return kFtpUnreachable;
    case ETIMEDOUT:
      return kFtpConnectTimeout;
    default:
      return kFtpNetworkError;
  }
}

}  // namespace

std::optional<std::string> FtpControl::Open(const FtpEndpoint& endpoint) {
  Close();
  failure_.clear();
  reader_.Reset();
  SteadyTime deadline = DeadlineAfter(options_.connectTimeoutMs);
  std::vector<ResolvedAddress> addresses;
  switch (ResolveHost(endpoint.host, endpoint.port, deadline, options_.pump, addresses)) {
    case ResolveResult::NotFound:
      return kFtpNameNotFound;
    case ResolveResult::TimedOut:
      return kFtpConnectTimeout;
    case ResolveResult::Found:
      break;
  }
  int error = ETIMEDOUT;
  for (const ResolvedAddress& a : addresses) {
    error = socket_.Connect(reinterpret_cast<const sockaddr*>(&a.address), a.length, deadline,
                            options_.pump);
    if (error == 0) {
      peer_ = a.address;
      return std::nullopt;
    }
    socket_.Close();
    if (error == ETIMEDOUT) break;  // the time is used up
  }
  return ConnectFailure(error);
}

void FtpControl::Close() {
  socket_.Close();
  reader_.Reset();
}

std::optional<FtpReply> FtpControl::Fail(const char* sentence) {
  if (failure_.empty()) failure_ = sentence;
  Close();
  return std::nullopt;
}

std::optional<FtpReply> FtpControl::Command(const std::string& line, int timeoutMs) {
  return FinalReply(Begin(line, timeoutMs));
}

std::optional<FtpReply> FtpControl::Begin(const std::string& line, int timeoutMs) {
  if (!IsOpen()) return Fail(kFtpConnectionLost);
  ++commandCount_;
  int error = socket_.SendAll(line + "\r\n", options_.replyTimeoutMs, options_.pump);
  if (error != 0) return Fail(error == ETIMEDOUT ? kFtpReplyTimeout : kFtpConnectionLost);
  return NextReply(timeoutMs);
}

std::optional<FtpReply> FtpControl::NextReply(int timeoutMs) {
  if (!IsOpen()) return Fail(kFtpConnectionLost);
  SteadyTime deadline = DeadlineAfter(timeoutMs < 0 ? options_.replyTimeoutMs : timeoutMs);
  while (true) {
    if (std::optional<FtpReply> reply = reader_.Next()) {
      // 421: the server is closing the connection; what follows would only fail.
      if (reply->code == 421) {
        failure_ = kFtpConnectionLost;
        socket_.Close();
      }
      return reply;
    }
    if (reader_.Garbled()) return Fail(kFtpProtocolError);
    char buffer[4096];
    size_t received = 0;
    int error = socket_.Receive(buffer, sizeof buffer, received, deadline, options_.pump);
    if (error != 0) return Fail(error == ETIMEDOUT ? kFtpReplyTimeout : kFtpConnectionLost);
    if (received == 0) return Fail(kFtpConnectionLost);
    reader_.Feed(std::string_view(buffer, received));
  }
}

std::optional<FtpReply> FtpControl::FinalReply(std::optional<FtpReply> reply) {
  for (int count = 0; reply && reply->Preliminary(); ++count) {
    if (count == kMaxPreliminaryReplies) return Fail(kFtpProtocolError);
    reply = NextReply();
  }
  return reply;
}

}  // namespace tolvane
