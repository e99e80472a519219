#pragma once
// The control connection: commands out, replies back, each wait bounded. Any transport
// failure (timeout, hang-up, garbage) closes it for good and leaves a sentence saying why;
// nothing here reconnects.
#include <cstdint>
#include <optional>
#include <string>

#include "transfer/FtpEndpoint.h"
#include "transfer/FtpOptions.h"
#include "transfer/FtpReply.h"
#include "transfer/FtpReplyReader.h"
#include "transfer/FtpSocket.h"

namespace tolvane {

class FtpControl {
 public:
  explicit FtpControl(const FtpOptions& options) : options_(options) {}

  // nullopt once connected; otherwise the sentence to show.
  std::optional<std::string> Open(const FtpEndpoint& endpoint);
  bool IsOpen() const { return socket_.IsOpen(); }
  void Close();

  // Sends one command line (CR LF added) and returns its final reply.
  // `timeoutMs` < 0: the reply timeout of the options.
  std::optional<FtpReply> Command(const std::string& line, int timeoutMs = -1);
  // Sends a command that opens a transfer and returns its first reply, a 1xx one included.
  std::optional<FtpReply> Begin(const std::string& line, int timeoutMs = -1);
  // The next reply, e.g. the final one after a 1xx.
  std::optional<FtpReply> NextReply(int timeoutMs = -1);
  // `reply` if it is final, else the final one that follows it (a server that sends only
  // preliminary replies is treated as garbled).
  std::optional<FtpReply> FinalReply(std::optional<FtpReply> reply);

  // Why the connection failed (a Japanese sentence); empty while it works.
  const std::string& Failure() const { return failure_; }
  uint64_t CommandCount() const { return commandCount_; }
  const FtpOptions& Options() const { return options_; }
  sockaddr_storage LocalAddress() const { return socket_.LocalAddress(); }
  sockaddr_storage PeerAddress() const { return peer_; }

 private:
  std::optional<FtpReply> Fail(const char* sentence);

  FtpOptions options_;
  FtpSocket socket_;
  FtpReplyReader reader_;
  sockaddr_storage peer_{};
  std::string failure_;
  uint64_t commandCount_ = 0;
};

}  // namespace tolvane
