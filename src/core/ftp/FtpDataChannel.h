#pragma once
// One data connection of a session: opened passively (EPSV, else PASV) or actively (EPRT,
// else PORT), used for one command (STOR or LIST) and closed again. A connection that moves
// no byte for the stall bound is cut, so a transfer can never hang for ever. How each transfer
// ended goes to the options' trace hook.
#include <cstdint>
#include <optional>
#include <string>

#include "ftp/FtpSession.h"
#include "ftp/FtpSocket.h"

namespace tolvane {

class FtpDataChannel {
 public:
  static constexpr size_t kMaxReceiveBytes = 32u << 20;  // a listing larger than this is refused

  explicit FtpDataChannel(FtpSession& session) : m_session(session) {}

  // Opens the data connection and sends `command`; Ok once the server is ready to move data.
  FtpResult Start(const std::string& command);
  // The code of the reply that refused the command given to Start (0 when none did).
  int RefusedCode() const { return m_refusedCode; }
  // Whether that reply refused the command as such (FtpReply::RefusesCommand).
  bool Refused() const { return FtpReply{m_refusedCode, {}}.RefusesCommand(); }
  // Sends the whole file (CR LF line ends when `ascii`) and returns the server's verdict: Ok
  // when it stored the file. `bytesRead` gets the number of the file's bytes sent. A transfer
  // that cannot finish (the file cannot be read, the connection stalls, the options' cancel
  // asks to stop) is broken off with a reset, so the server sees a failed transfer rather
  // than a complete short file.
  FtpResult Upload(int fd, bool ascii, uint64_t& bytesRead);
  // Everything the server sends, or nullopt when the transfer failed or took longer than the
  // options allow for a listing.
  std::optional<std::string> ReceiveAll();

 private:
  using Kind = FtpResult::Kind;
  FtpResult OpenPassive();
  FtpResult PrepareActive();
  // The server's verdict after the data connection ended; `dataFailure` Ok when it ended well.
  FtpResult Finish(Kind dataFailure);
  FtpResult Abort(Kind dataFailure);
  void AwaitServerClose(const FtpOptions& o);
  static Kind DataFailure(int error);
  // Hands `result` to the trace hook as the end of the transfer Start began.
  FtpResult Ended(FtpResult result) const;

  FtpSession& m_session;
  FtpSocket m_listener;
  FtpSocket m_data;
  int m_refusedCode = 0;
  std::string m_command;
  uint64_t m_moved = 0;  // bytes that crossed the data connection
};

}  // namespace tolvane
