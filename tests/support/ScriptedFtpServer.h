#pragma once
// A local FTP server that misbehaves where a test says (tests/support/scripted_ftp_server.py):
// malformed or garbage replies, hang-ups and silences at chosen commands, a full disk after
// the data. On 127.0.0.1 and a free port, for as long as the object lives.
#include <sys/types.h>

#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tolvane::test {

class ScriptedFtpServer {
 public:
  // Rules as "CMD[#N]=ACTION", e.g. "PASS=drop", "STOR#1=final:452 Disk full."
  // (see the script for the actions). Account tolvane / secret.
  explicit ScriptedFtpServer(std::vector<std::string> rules);
  ~ScriptedFtpServer();
  ScriptedFtpServer(const ScriptedFtpServer&) = delete;
  ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

  std::string hostField() const { return "127.0.0.1:" + std::to_string(m_port); }
  // Uploads that completed, by name.
  const TempDir& files() const { return m_root; }
  // Every command line received, as it arrived: bytes outside printable ASCII as \xNN.
  std::vector<std::string> Commands() const;
  // How many received lines start with `verb` followed by a space or the line's end.
  int Count(const std::string& verb) const;

 private:
  void Stop();

  TempDir m_root;
  TempDir m_scratch;
  int m_port = 0;
  pid_t m_pid = -1;
  int m_stdinFd = -1;
};

}  // namespace tolvane::test
