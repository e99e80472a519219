#include "transfer/FtpDataChannel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "transfer/CrLfEncoder.h"
#include "transfer/FtpDataAddress.h"
#include "transfer/FtpTexts.h"

namespace tolvane {
namespace {

constexpr size_t kChunkBytes = 64 * 1024;
// After a broken-off transfer the server's word is only wanted to keep the replies in step.
constexpr int kAbortReplyMs = 3000;

void SetPort(sockaddr_storage& address, int port) {
  if (address.ss_family == AF_INET) {
    reinterpret_cast<sockaddr_in&>(address).sin_port = htons(static_cast<uint16_t>(port));
  } else {
    reinterpret_cast<sockaddr_in6&>(address).sin6_port = htons(static_cast<uint16_t>(port));
  }
}

socklen_t LengthOf(const sockaddr_storage& address) {
  return address.ss_family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6);
}

}  // namespace

std::optional<std::string> FtpDataChannel::Start(const std::string& command) {
  FtpControl& control = session_.Control();
  bool passive = session_.Passive();
  std::optional<std::string> failure = passive ? OpenPassive() : PrepareActive();
  if (failure) return failure;
  std::optional<FtpReply> reply = control.Begin(command);
  if (!reply || !reply->Preliminary()) {
    refusedCode_ = reply ? reply->code : 0;
    data_.Close();
    listener_.Close();
    return session_.RefusalText(reply);
  }
  if (!passive) {
    const FtpOptions& o = control.Options();
    int error =
        listener_.Accept(data_, control.PeerAddress(), DeadlineAfter(o.connectTimeoutMs), o.pump);
    listener_.Close();
    if (error != 0) return Finish(kFtpDataConnectFailed);
  }
  return std::nullopt;
}

std::optional<std::string> FtpDataChannel::OpenPassive() {
  FtpControl& control = session_.Control();
  FtpLacks& lacks = session_.Lacks();
  sockaddr_storage target = control.PeerAddress();
  std::optional<int> port;
  if (!lacks.epsv) {
    std::optional<FtpReply> reply = control.Command("EPSV");
    if (!reply) return session_.RefusalText(reply);
    if (reply->code == 229) port = ParseEpsvPort(reply->LastLine());
    lacks.epsv = reply->RefusesCommand();
  }
  if (!port) {
    std::optional<FtpReply> reply = control.Command("PASV");
    if (!reply || reply->code != 227) return session_.RefusalText(reply);
    std::optional<PasvTarget> pasv = ParsePasv(reply->LastLine());
    if (!pasv) return std::string(kFtpProtocolError);
    // Only the port is taken: the data goes to the host the control connection reached,
    // whatever address the reply names (a server must not send our files elsewhere).
    port = pasv->port;
  }
  SetPort(target, *port);
  const FtpOptions& o = control.Options();
  int error = data_.Connect(reinterpret_cast<const sockaddr*>(&target), LengthOf(target),
                            DeadlineAfter(o.connectTimeoutMs), o.pump);
  if (error != 0) return std::string(kFtpDataConnectFailed);
  return std::nullopt;
}

std::optional<std::string> FtpDataChannel::PrepareActive() {
  FtpControl& control = session_.Control();
  FtpLacks& lacks = session_.Lacks();
  if (listener_.Listen(control.LocalAddress()) != 0) return std::string(kFtpDataConnectFailed);
  sockaddr_storage address = listener_.LocalAddress();
  std::optional<FtpReply> reply;
  if (!lacks.eprt) {
    if (std::optional<std::string> argument = EprtArgument(address)) {
      reply = control.Command("EPRT " + *argument);
      if (!reply) return session_.RefusalText(reply);
      if (reply->Completed()) return std::nullopt;
      lacks.eprt = reply->RefusesCommand();
    }
  }
  std::optional<std::string> argument = PortArgument(address);
  if (!argument) return reply ? session_.RefusalText(reply) : kFtpDataConnectFailed;
  reply = control.Command("PORT " + *argument);
  if (!reply || !reply->Completed()) return session_.RefusalText(reply);
  return std::nullopt;
}

std::optional<std::string> FtpDataChannel::Upload(int fd, bool ascii, uint64_t& bytesRead) {
  const FtpOptions& o = session_.Control().Options();
  data_.SetCancel(o.cancelled);
  CrLfEncoder encoder;
  std::vector<char> buffer(kChunkBytes);
  bytesRead = 0;
  while (true) {
    ssize_t n = read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Abort(kFtpLocalFileUnreadable);
    if (n == 0) break;
    bytesRead += static_cast<uint64_t>(n);
    std::string_view chunk(buffer.data(), static_cast<size_t>(n));
    std::string encoded;
    if (ascii) chunk = encoded = encoder.Encode(chunk);
    if (int error = data_.SendAll(chunk, o.dataStallTimeoutMs, o.pump)) {
      return Abort(DataFailure(error));
    }
  }
  // The last bytes may still sit in the send queue on a slow uplink: the wait for the
  // server's verdict starts once they have left, not when the last write returned.
  if (int error = data_.Drain(o.dataStallTimeoutMs, o.pump)) return Abort(DataFailure(error));
  return Finish(nullptr);
}

std::optional<std::string> FtpDataChannel::ReceiveAll() {
  const FtpOptions& o = session_.Control().Options();
  data_.SetCancel(o.cancelled);
  // A server that trickles a byte now and then never trips the stall bound; the whole
  // listing has a bound of its own.
  const SteadyTime end = DeadlineAfter(o.listingTimeoutMs);
  std::string received;
  std::vector<char> buffer(kChunkBytes);
  while (true) {
    size_t n = 0;
    SteadyTime deadline = std::min(end, DeadlineAfter(o.dataStallTimeoutMs));
    if (int error = data_.Receive(buffer.data(), buffer.size(), n, deadline, o.pump)) {
      Abort(DataFailure(error));
      return std::nullopt;
    }
    if (n == 0) break;
    if (received.size() + n > kMaxReceiveBytes) {
      Abort(kFtpProtocolError);
      return std::nullopt;
    }
    received.append(buffer.data(), n);
  }
  if (Finish(nullptr)) return std::nullopt;
  return received;
}

std::optional<std::string> FtpDataChannel::Abort(const char* dataFailure) {
  data_.Reset();
  listener_.Close();
  FtpControl& control = session_.Control();
  if (!control.IsOpen()) return std::string(dataFailure);
  // The reply to the broken-off transfer (426, 451 or a late 226) keeps the replies in step.
  const int timeoutMs = std::min(kAbortReplyMs, control.Options().replyTimeoutMs);
  std::optional<FtpReply> reply = control.FinalReply(control.NextReply(timeoutMs));
  // Where the server hung up the data itself, its own word says most (e.g. a full disk).
  if (dataFailure == kFtpDataLost && reply && !reply->Positive()) {
    return session_.RefusalText(reply);
  }
  return std::string(dataFailure);
}

const char* FtpDataChannel::DataFailure(int error) {
  if (error == ECANCELED) return kFtpCancelled;
  return error == ETIMEDOUT ? kFtpDataStalled : kFtpDataLost;
}

std::optional<std::string> FtpDataChannel::Finish(const char* dataFailure) {
  // Closing the data connection tells the server the data is complete (or abandoned).
  data_.Close();
  listener_.Close();
  FtpControl& control = session_.Control();
  std::optional<FtpReply> reply = control.FinalReply(control.NextReply());
  // The server's own word says most (e.g. a full disk that made it hang up the data).
  if (reply && !reply->Positive()) return session_.RefusalText(reply);
  if (dataFailure) return std::string(dataFailure);
  if (!reply || !reply->Completed()) return session_.RefusalText(reply);
  return std::nullopt;
}

}  // namespace tolvane
