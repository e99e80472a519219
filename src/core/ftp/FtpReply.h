#pragma once
// One reply of an FTP server: its three-digit code and its lines (a multi-line reply has
// several; the last is the one shown to the person).
#include <string>
#include <vector>

namespace tolvane {

struct FtpReply {
  int code = 0;
  std::vector<std::string> lines;  // raw bytes as sent, without line ends

  const std::string& LastLine() const { return lines.back(); }
  bool Preliminary() const { return code >= 100 && code < 200; }
  bool Positive() const { return code >= 200 && code < 400; }
  bool Completed() const { return code >= 200 && code < 300; }
  // The server does not know the command at all (as opposed to refusing it this time).
  bool NotImplemented() const { return code == 500 || code == 502; }
  // The server will not take this command at all, in this session: not known, not for these
  // arguments, or not permitted (550 counts only where the command names no file).
  bool RefusesCommand() const { return code == 500 || code == 502 || code == 504 || code == 550; }
};

}  // namespace tolvane
