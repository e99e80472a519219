#pragma once
// A real FTP server (Debian's pyftpdlib, tests/support/ftp_server.py) on 127.0.0.1 and a free
// port, rooted in a fresh temporary folder, for as long as the object lives.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tolvane::test {

struct FtpServerOptions {
  std::string user = "tolvane";
  std::string password = "secret";
  std::string readonlyUser = {};  // empty: no read-only account
  std::string readonlyPassword = {};
  bool ipv6 = false;    // listen on ::1 instead of 127.0.0.1
  bool noMlst = false;  // no MLST/MLSD
  bool noMdtm = false;
  bool noEpsv = false;
  bool noEprt = false;
  bool noUtf8 = false;  // no UTF8 in FEAT: names, replies and listings in code page 932
  bool featNeedsLogin = false;
  int delayMs = 0;               // every reply this late
  std::string pasvAddress = {};  // the address PASV replies name
  bool keepAsciiBytes = false;   // store TYPE A uploads exactly as they came over the wire
  bool stallData = false;        // never read uploaded data
  bool garbageBanner = false;
  std::vector<std::string> stallOn = {};      // commands never answered ("BANNER": no greeting)
  std::vector<std::string> dropOn = {};       // commands that make the server hang up
  std::vector<std::string> hugeReplyOn = {};  // commands answered with a one-megabyte line
  std::vector<std::string> refuseCwd = {};    // CWD arguments refused (550), e.g. "/"
  // A PEM file with certificate and key (MakeTestCertificate): FTPS that refuses anything in
  // clear, on the control connection and on the data connections.
  std::string tlsCertificate = {};
  bool implicitTls = false;  // TLS from the first byte (with tlsCertificate)
  int maxConnections = 0;    // more at once are greeted with 421; 0: no limit
};

// A self-signed certificate for 127.0.0.1 and its key, made with the openssl command into
// `folder` as NAME.pem; returns the file's path.
std::string MakeTestCertificate(const TempDir& folder, const std::string& name);

class FtpServer {
 public:
  explicit FtpServer(FtpServerOptions options = {});
  ~FtpServer();
  FtpServer(const FtpServer&) = delete;
  FtpServer& operator=(const FtpServer&) = delete;

  const std::string& host() const { return m_host; }
  int port() const { return m_port; }
  // "127.0.0.1:PORT", or "[::1]:PORT" for an IPv6 server.
  std::string hostField() const;
  const FtpServerOptions& options() const { return m_options; }

  // The folder the account sees as "/", and helpers on files below it.
  const std::string& root() const { return m_root.path(); }
  const TempDir& files() const { return m_root; }
  // Sets a file's modification time (seconds since 1970, UTC).
  void SetMtime(const std::string& name, int64_t utc) const;

  // Commands the server received so far, one per line (the password masked).
  std::vector<std::string> Commands() const;

 private:
  std::vector<std::string> Arguments() const;
  void Start();
  void Stop();

  FtpServerOptions m_options;
  TempDir m_root;
  TempDir m_scratch;  // the command log, outside what the client can see
  std::string m_host = "127.0.0.1";
  int m_port = 0;
  pid_t m_pid = -1;
  int m_stdinFd = -1;
};

}  // namespace tolvane::test
