#include "transfer/FtpDataChannel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "transfer/CrLfEncoder.h"
#include "transfer/FtpDataAddress.h"
#include "transfer/FtpTexts.h"

namespace tolvane {
namespace {

constexpr size_t kChunkBytes = 64 * 1024;

// The address a PASV reply names, unless it is a private one other than the server's own:
// a server behind NAT names its inside address, which is useless from here.
void AimAtPasvTarget(sockaddr_storage& target, const PasvTarget& pasv) {
  if (target.ss_family != AF_INET) return;  // PASV on IPv6 names nothing usable
  auto& in = reinterpret_cast<sockaddr_in&>(target);
  uint32_t peer = ntohl(in.sin_addr.s_addr);
  if (IsPrivateOrUnroutable(pasv.ipv4) && pasv.ipv4 != peer) return;
  in.sin_addr.s_addr = htonl(pasv.ipv4);
}

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
    lacks.epsv = reply->NotImplemented();
  }
  if (!port) {
    std::optional<FtpReply> reply = control.Command("PASV");
    if (!reply || reply->code != 227) return session_.RefusalText(reply);
    std::optional<PasvTarget> pasv = ParsePasv(reply->LastLine());
    if (!pasv) return std::string(kFtpProtocolError);
    AimAtPasvTarget(target, *pasv);
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
      lacks.eprt = reply->NotImplemented();
    }
  }
  std::optional<std::string> argument = PortArgument(address);
  if (!argument) return reply ? session_.RefusalText(reply) : kFtpDataConnectFailed;
  reply = control.Command("PORT " + *argument);
  if (!reply || !reply->Completed()) return session_.RefusalText(reply);
  return std::nullopt;
}

std::optional<std::string> FtpDataChannel::Upload(int fd, bool ascii) {
  const FtpOptions& o = session_.Control().Options();
  CrLfEncoder encoder;
  std::vector<char> buffer(kChunkBytes);
  const char* failure = nullptr;
  while (!failure) {
    ssize_t n = read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n < 0) failure = kFtpLocalFileUnreadable;
      break;
    }
    std::string_view chunk(buffer.data(), static_cast<size_t>(n));
    std::string encoded;
    if (ascii) chunk = encoded = encoder.Encode(chunk);
    int error = data_.SendAll(chunk, o.dataStallTimeoutMs, o.pump);
    if (error != 0) failure = error == ETIMEDOUT ? kFtpDataStalled : kFtpDataLost;
  }
  return Finish(failure);
}

std::optional<std::string> FtpDataChannel::ReceiveAll() {
  const FtpOptions& o = session_.Control().Options();
  std::string received;
  std::vector<char> buffer(kChunkBytes);
  const char* failure = nullptr;
  while (!failure) {
    size_t n = 0;
    int error =
        data_.Receive(buffer.data(), buffer.size(), n, DeadlineAfter(o.dataStallTimeoutMs), o.pump);
    if (error != 0) failure = error == ETIMEDOUT ? kFtpDataStalled : kFtpDataLost;
    if (error != 0 || n == 0) break;
    if (received.size() + n > kMaxReceiveBytes) failure = kFtpProtocolError;
    received.append(buffer.data(), n);
  }
  if (Finish(failure)) return std::nullopt;
  return received;
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
