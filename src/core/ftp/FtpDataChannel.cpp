#include "ftp/FtpDataChannel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "ftp/CrLfEncoder.h"
#include "ftp/FtpDataAddress.h"

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

FtpResult FtpDataChannel::Start(const std::string& command) {
  FtpControl& control = m_session.Control();
  bool passive = m_session.Passive();
  FtpResult opened = passive ? OpenPassive() : PrepareActive();
  if (!opened.Succeeded()) return opened;
  m_command = command;
  std::optional<FtpReply> reply = control.Begin(command);
  if (!reply || !reply->Preliminary()) {
    m_refusedCode = reply ? reply->code : 0;
    m_data.Close();
    m_listener.Close();
    return Ended(m_session.Refusal(reply));
  }
  const FtpOptions& o = control.Options();
  if (!passive) {
    int error =
        m_listener.Accept(m_data, control.PeerAddress(), DeadlineAfter(o.connectTimeoutMs), o.pump);
    m_listener.Close();
    if (error != 0) return Ended(Finish(Kind::DataConnectFailed));
  }
  m_data.SetCancel(o.cancelled);
  // The server takes the handshake once it has answered the command, not before.
  if (control.Encrypted()) {
    if (FtpResult secured = control.SecureData(m_data); !secured.Succeeded()) {
      return Abort(secured.kind);
    }
  }
  return {};
}

FtpResult FtpDataChannel::OpenPassive() {
  FtpControl& control = m_session.Control();
  FtpLacks& lacks = m_session.Lacks();
  sockaddr_storage target = control.PeerAddress();
  std::optional<int> port;
  if (!lacks.epsv) {
    std::optional<FtpReply> reply = control.Command("EPSV");
    if (!reply) return m_session.Refusal(reply);
    if (reply->code == 229) port = ParseEpsvPort(reply->LastLine());
    lacks.epsv = reply->RefusesCommand();
  }
  if (!port) {
    std::optional<FtpReply> reply = control.Command("PASV");
    if (!reply || reply->code != 227) return m_session.Refusal(reply);
    std::optional<PasvTarget> passiveMode = ParsePasv(reply->LastLine());
    if (!passiveMode) return FtpResult::Failed(Kind::ProtocolError);
    // Only the port is taken: the data goes to the host the control connection reached,
    // whatever address the reply names (a server must not send our files elsewhere).
    port = passiveMode->port;
  }
  SetPort(target, *port);
  const FtpOptions& o = control.Options();
  int error = m_data.Connect(reinterpret_cast<const sockaddr*>(&target), LengthOf(target),
                             DeadlineAfter(o.connectTimeoutMs), o.pump);
  if (error != 0) return FtpResult::Failed(Kind::DataConnectFailed);
  return {};
}

FtpResult FtpDataChannel::PrepareActive() {
  FtpControl& control = m_session.Control();
  FtpLacks& lacks = m_session.Lacks();
  if (m_listener.Listen(control.LocalAddress()) != 0) {
    return FtpResult::Failed(Kind::DataConnectFailed);
  }
  sockaddr_storage address = m_listener.LocalAddress();
  std::optional<FtpReply> reply;
  if (!lacks.eprt) {
    if (std::optional<std::string> argument = EprtArgument(address)) {
      reply = control.Command("EPRT " + *argument);
      if (!reply) return m_session.Refusal(reply);
      if (reply->Completed()) return {};
      lacks.eprt = reply->RefusesCommand();
    }
  }
  std::optional<std::string> argument = PortArgument(address);
  if (!argument) {
    return reply ? m_session.Refusal(reply) : FtpResult::Failed(Kind::DataConnectFailed);
  }
  reply = control.Command("PORT " + *argument);
  if (!reply || !reply->Completed()) return m_session.Refusal(reply);
  return {};
}

FtpResult FtpDataChannel::Upload(int fd, bool ascii, uint64_t& bytesRead) {
  const FtpOptions& o = m_session.Control().Options();
  m_data.SetCancel(o.cancelled);
  CrLfEncoder encoder;
  std::vector<char> buffer(kChunkBytes);
  bytesRead = 0;
  while (true) {
    ssize_t n = read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return Abort(Kind::LocalFileUnreadable);
    if (n == 0) break;
    bytesRead += static_cast<uint64_t>(n);
    std::string_view chunk(buffer.data(), static_cast<size_t>(n));
    std::string encoded;
    if (ascii) chunk = encoded = encoder.Encode(chunk);
    if (int error = m_data.SendAll(chunk, o.dataStallTimeoutMs, o.pump)) {
      return Abort(DataFailure(error));
    }
    m_moved += chunk.size();
  }
  // close_notify tells the server the file ended here and was not cut off.
  if (int error = m_data.EndTls(o.dataStallTimeoutMs, o.pump)) return Abort(DataFailure(error));
  // The last bytes may still sit in the send queue on a slow uplink: the wait for the
  // server's verdict starts once they have left, not when the last write returned.
  if (int error = m_data.Drain(o.dataStallTimeoutMs, o.pump)) return Abort(DataFailure(error));
  if (m_data.Tls()) AwaitServerClose(o);
  return Ended(Finish(Kind::Ok));
}

std::optional<std::string> FtpDataChannel::ReceiveAll() {
  const FtpOptions& o = m_session.Control().Options();
  m_data.SetCancel(o.cancelled);
  // A server that trickles a byte now and then never trips the stall bound; the whole
  // listing has a bound of its own.
  const SteadyTime end = DeadlineAfter(o.listingTimeoutMs);
  std::string received;
  std::vector<char> buffer(kChunkBytes);
  while (true) {
    size_t n = 0;
    SteadyTime deadline = std::min(end, DeadlineAfter(o.dataStallTimeoutMs));
    if (int error = m_data.Receive(buffer.data(), buffer.size(), n, deadline, o.pump)) {
      Abort(DataFailure(error));
      return std::nullopt;
    }
    if (n == 0) break;
    if (received.size() + n > kMaxReceiveBytes) {
      Abort(Kind::ProtocolError);
      return std::nullopt;
    }
    received.append(buffer.data(), n);
    m_moved = received.size();
  }
  if (!Ended(Finish(Kind::Ok)).Succeeded()) return std::nullopt;
  return received;
}

void FtpDataChannel::AwaitServerClose(const FtpOptions& o) {
  // A TLS server may have sent something we never read (TLS 1.3 session tickets); closing
  // over unread bytes would reset the connection and could cost the server the file's end.
  // After our FIN the server reads to the end and closes; whatever it sent is dropped.
  m_data.ShutdownWrite();
  m_data.DiscardUntilClosed(DeadlineAfter(std::min(o.dataStallTimeoutMs, kAbortReplyMs)), o.pump);
}

FtpResult FtpDataChannel::Abort(Kind dataFailure) {
  m_data.Reset();
  m_listener.Close();
  FtpControl& control = m_session.Control();
  if (!control.IsOpen()) return Ended(FtpResult::Failed(dataFailure));
  // The reply to the broken-off transfer (426, 451 or a late 226) keeps the replies in step.
  const int timeoutMs = std::min(kAbortReplyMs, control.Options().replyTimeoutMs);
  std::optional<FtpReply> reply = control.FinalReply(control.NextReply(timeoutMs));
  // Where the server hung up the data itself, its own word says most (e.g. a full disk, or
  // a data connection that did not resume the TLS session).
  if ((dataFailure == Kind::DataLost || dataFailure == Kind::TlsFailed) && reply &&
      !reply->Positive()) {
    return Ended(m_session.Refusal(reply));
  }
  return Ended(FtpResult::Failed(dataFailure));
}

FtpResult::Kind FtpDataChannel::DataFailure(int error) {
  if (error == ECANCELED) return Kind::Cancelled;
  return error == ETIMEDOUT ? Kind::DataStalled : Kind::DataLost;
}

FtpResult FtpDataChannel::Ended(FtpResult result) const {
  FtpTraceEvent ended;
  ended.kind = FtpTraceEvent::Kind::Transfer;
  ended.command = m_session.Control().Masked(m_command);
  ended.bytes = m_moved;
  ended.result = result;
  m_session.Control().Trace(ended);
  return result;
}

FtpResult FtpDataChannel::Finish(Kind dataFailure) {
  // Closing the data connection tells the server the data is complete (or abandoned).
  m_data.Close();
  m_listener.Close();
  FtpControl& control = m_session.Control();
  std::optional<FtpReply> reply = control.FinalReply(control.NextReply());
  // The server's own word says most (e.g. a full disk that made it hang up the data).
  if (reply && !reply->Positive()) return m_session.Refusal(reply);
  if (dataFailure != Kind::Ok) return FtpResult::Failed(dataFailure);
  if (!reply || !reply->Completed()) return m_session.Refusal(reply);
  return {};
}

}  // namespace tolvane
