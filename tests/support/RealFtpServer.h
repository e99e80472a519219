#pragma once
// Debian's vsftpd, ProFTPD or Pure-FTPd, unpacked into the build folder by
// tools/fetch_ftp_servers.sh, run in the foreground on 127.0.0.1 and a free port from a config
// written here, serving a fresh temporary folder, for as long as the object lives. The child
// also dies with the test process. Servers behave in ways pyftpdlib does not (refused commands,
// hidden dot files, local times), and those are what the client must cope with.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace tolvane::test {

enum class RealServerKind { Vsftpd, Proftpd, PureFtpd };

class RealFtpServer {
 public:
  // "vsftpd", "ProFTPD", "Pure-FTPd".
  static const char* Name(RealServerKind kind);
  // Empty when the server can be started; otherwise why not (its binary was never unpacked),
  // for GTEST_SKIP.
  static std::string Missing(RealServerKind kind);

  // extraConfig: lines appended to the config file (vsftpd, ProFTPD), e.g. "cmds_denied=MDTM"
  // or "<Limit MLST MLSD>", "DenyAll", "</Limit>"; for Pure-FTPd, extra command-line options.
  explicit RealFtpServer(RealServerKind kind, std::vector<std::string> extraConfig = {});
  ~RealFtpServer();
  RealFtpServer(const RealFtpServer&) = delete;
  RealFtpServer& operator=(const RealFtpServer&) = delete;

  RealServerKind kind() const { return m_kind; }
  std::string hostField() const;  // "127.0.0.1:PORT"
  // An account that can read and write everything below root(): vsftpd's anonymous login
  // (no chroot, the server runs as the test's user), a virtual user of ProFTPD's
  // AuthUserFile and of Pure-FTPd's puredb (both chrooted to root()).
  const std::string& user() const { return m_user; }
  const std::string& password() const { return m_password; }
  // The local folder the account logs into; everything it uploads lands here.
  const std::string& root() const { return m_root.path(); }
  // root() as the client sees it, for settings.serverfolder: vsftpd's absolute path, "/" for
  // the chrooted servers.
  const std::string& serverFolder() const { return m_serverFolder; }

  // Files below root(), owned by the account (Pure-FTPd cannot log root in, so as root its
  // account is nobody and needs to own what it overwrites).
  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  std::vector<std::string> Names() const;  // root()'s entries, dot files too, sorted
  // Sets a file's modification time (seconds since 1970, UTC).
  void SetMtime(const std::string& name, int64_t utc) const;

  // The server's own log of commands and replies (vsftpd log_ftp_protocol, ProFTPD
  // ExtendedLog), as it wrote them. Pure-FTPd logs commands only to syslog: empty.
  std::vector<std::string> Log() const;
  // The commands from Log(), as sent ("EPSV", "LIST -a", "PASS <hidden>" ...).
  std::vector<std::string> Commands() const;

  // How long the start took, until the port accepted a connection.
  int startMs() const { return m_startMs; }

 private:
  std::vector<std::string> WriteConfig(const std::vector<std::string>& extra);
  void Start(std::vector<std::string> args);
  void Stop();

  RealServerKind m_kind;
  TempDir m_root;
  TempDir m_scratch;  // config, account file, logs: outside what the client can reach
  std::string m_user;
  std::string m_password = "secret";
  std::string m_serverFolder;
  uid_t m_uid = 0;  // the account's owner on disk
  gid_t m_gid = 0;
  int m_port = 0;
  int m_startMs = 0;
  pid_t m_pid = -1;
};

}  // namespace tolvane::test
