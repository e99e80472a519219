#pragma once
// One data connection of a session: opened passively (EPSV, else PASV) or actively (EPRT,
// else PORT), used for one command (STOR or LIST) and closed again. A connection that moves
// no byte for the stall bound is cut, so a transfer can never hang for ever.
#include <optional>
#include <string>

#include "transfer/FtpSession.h"
#include "transfer/FtpSocket.h"

namespace tolvane {

class FtpDataChannel {
 public:
  static constexpr size_t kMaxReceiveBytes = 32u << 20;  // a listing larger than this is refused

  explicit FtpDataChannel(FtpSession& session) : session_(session) {}

  // Opens the data connection and sends `command`; nullopt once the server is ready to move
  // data, otherwise the text to show.
  std::optional<std::string> Start(const std::string& command);
  // The code of the reply that refused the command given to Start (0 when none did).
  int RefusedCode() const { return refusedCode_; }
  // Sends the whole file (CR LF line ends when `ascii`) and returns the server's verdict:
  // nullopt when it stored the file, otherwise the text to show.
  std::optional<std::string> Upload(int fd, bool ascii);
  // Everything the server sends, or nullopt when the transfer failed.
  std::optional<std::string> ReceiveAll();

 private:
  std::optional<std::string> OpenPassive();
  std::optional<std::string> PrepareActive();
  std::optional<std::string> Finish(const char* dataFailure);

  FtpSession& session_;
  FtpSocket listener_;
  FtpSocket data_;
  int refusedCode_ = 0;
};

}  // namespace tolvane
