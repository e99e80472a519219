#include "support/RealFtpServer.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tolvane::test {
namespace {

constexpr int kStartTimeoutMs = 5000;
// crypt(3) MD5 of "secret", the account's password; both ProFTPD and Pure-FTPd take it.
constexpr const char* kPasswordHash = "$1$tolvane$qr3l8draTtKbYenAsikEr.";

std::string ServersDir() { return TOLVANE_REAL_SERVERS_DIR; }

std::string Binary(RealServerKind kind) {
  switch (kind) {
    case RealServerKind::Vsftpd:
      return ServersDir() + "/usr/sbin/vsftpd";
    case RealServerKind::Proftpd:
      return ServersDir() + "/usr/sbin/proftpd";
    case RealServerKind::PureFtpd:
      return ServersDir() + "/usr/sbin/pure-ftpd";
  }
  return {};
}

std::string UserName(uid_t uid) {
  const passwd* pw = getpwuid(uid);
  return pw ? pw->pw_name : std::to_string(uid);
}

std::string GroupName(gid_t gid) {
  const group* gr = getgrgid(gid);
  return gr ? gr->gr_name : std::to_string(gid);
}

// A port nobody listens on now; the server binds it a moment later.
int FreePort() {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    throw std::runtime_error("no free port");
  }
  close(fd);
  return ntohs(a.sin_port);
}

bool Accepts(int port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(port));
  bool ok = connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(fd);
  return ok;
}

void WriteText(const std::string& path, const std::string& text, mode_t mode = 0644) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  chmod(path.c_str(), mode);
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

const char* RealFtpServer::Name(RealServerKind kind) {
  switch (kind) {
    case RealServerKind::Vsftpd:
      return "vsftpd";
    case RealServerKind::Proftpd:
      return "ProFTPD";
    case RealServerKind::PureFtpd:
      return "Pure-FTPd";
  }
  return "?";
}

std::string RealFtpServer::Missing(RealServerKind kind) {
  if (access(Binary(kind).c_str(), X_OK) == 0) return {};
  return std::string(Name(kind)) + " is not unpacked at " + Binary(kind) +
         "; run tools/fetch_ftp_servers.sh on the build folder (make build does)";
}

RealFtpServer::RealFtpServer(RealServerKind kind, std::vector<std::string> extraConfig)
    : m_kind(kind), m_uid(getuid()), m_gid(getgid()) {
  if (std::string why = Missing(kind); !why.empty()) throw std::runtime_error(why);
  // Pure-FTPd never logs root in: as root its account is nobody.
  if (kind == RealServerKind::PureFtpd && m_uid == 0) {
    const passwd* nobody = getpwnam("nobody");
    m_uid = nobody ? nobody->pw_uid : 65534;
    m_gid = nobody ? nobody->pw_gid : 65534;
  }
  if (chown(root().c_str(), m_uid, m_gid) != 0 || chmod(root().c_str(), 0755) != 0) {
    throw std::runtime_error("cannot hand " + root() + " to the account");
  }
  // Another test may take the free port before the server binds it: try another.
  for (int attempt = 1;; ++attempt) {
    m_port = FreePort();
    try {
      Start(WriteConfig(extraConfig));
      return;
    } catch (const std::runtime_error&) {
      if (attempt == 3) throw;
    }
  }
}

RealFtpServer::~RealFtpServer() { Stop(); }

std::string RealFtpServer::hostField() const { return "127.0.0.1:" + std::to_string(m_port); }

std::vector<std::string> RealFtpServer::WriteConfig(const std::vector<std::string>& extra) {
  const std::string port = std::to_string(m_port);
  std::string conf;
  std::vector<std::string> args = {Binary(m_kind)};
  switch (m_kind) {
    case RealServerKind::Vsftpd:
      // Anonymous without chroot, run as whoever runs the test: no system "ftp" account and
      // no root needed, and every file stays the test's own.
      m_user = "anonymous";
      m_password = "tolvane@example.jp";
      m_serverFolder = root();
      conf = "listen=YES\nlisten_address=127.0.0.1\nlisten_port=" + port +
             "\nbackground=NO\nrun_as_launching_user=YES\nftp_username=" + UserName(m_uid) +
             "\nanonymous_enable=YES\nlocal_enable=NO\nno_anon_password=YES\nanon_root=" + root() +
             "\nwrite_enable=YES\nanon_upload_enable=YES\nanon_mkdir_write_enable=YES\n"
             "anon_other_write_enable=YES\nanon_umask=022\nsecure_chroot_dir=" +
             m_scratch.path() +
             "\nseccomp_sandbox=NO\nutf8_filesystem=YES\nsyslog_enable=NO\n"
             "xferlog_enable=YES\nxferlog_std_format=NO\nlog_ftp_protocol=YES\n"
             "vsftpd_log_file=" +
             (m_scratch / "server.log") + "\n";
      for (const std::string& line : extra) conf += line + "\n";
      WriteText(m_scratch / "vsftpd.conf", conf);
      args.push_back(m_scratch / "vsftpd.conf");
      break;
    case RealServerKind::Proftpd: {
      // A virtual user of its own account file, owned by the test's user, jailed in root().
      m_user = "tolvane";
      const bool chroot = getuid() == 0;  // only root can jail the account
      m_serverFolder = chroot ? "/" : root();
      WriteText(m_scratch / "passwd",
                m_user + ":" + kPasswordHash + ":" + std::to_string(m_uid) + ":" +
                    std::to_string(m_gid) + "::" + root() + ":/bin/sh\n",
                0600);
      const std::string s = m_scratch.path();
      conf = "ServerType standalone\nServerName \"tolvane\"\nDefaultAddress 127.0.0.1\nPort " +
             port + "\nUser " + UserName(m_uid) + "\nGroup " + GroupName(m_gid) +
             "\nRootLogin on\nUseIPv6 off\nUseReverseDNS off\nWtmpLog off\n"
             "RequireValidShell off\nAuthPAM off\nAuthOrder mod_auth_file.c\nAuthUserFile " +
             s + "/passwd\n" + (chroot ? "DefaultRoot ~\n" : "") + "PidFile " + s +
             "/proftpd.pid\nScoreboardFile " + s +
             "/proftpd.scoreboard\nDelayEngine off\nSystemLog " + s + "/system.log\nTransferLog " +
             s + "/xfer.log\nLogFormat tolvane \"%r\t%s %S\"\nExtendedLog " + s +
             "/server.log ALL tolvane\nUmask 022\nAllowOverwrite on\n";
      for (const std::string& line : extra) conf += line + "\n";
      WriteText(m_scratch / "proftpd.conf", conf);
      args.insert(args.end(), {"-n", "-q", "-c", m_scratch / "proftpd.conf"});
      break;
    }
    case RealServerKind::PureFtpd: {
      // A virtual user of a puredb file made with its own pure-pw; "/./" jails it in root().
      m_user = "tolvane";
      m_serverFolder = "/";
      WriteText(m_scratch / "passwd",
                m_user + ":" + kPasswordHash + ":" + std::to_string(m_uid) + ":" +
                    std::to_string(m_gid) + "::" + root() + "/./::::::::::::\n",
                0600);
      std::string mkdb = ServersDir() + "/usr/bin/pure-pw mkdb " + (m_scratch / "passwd.pdb") +
                         " -f " + (m_scratch / "passwd") + " >/dev/null 2>&1";
      if (std::system(mkdb.c_str()) != 0) throw std::runtime_error("pure-pw mkdb failed");
      args.insert(args.end(),
                  {"-S", "127.0.0.1," + port, "-l", "puredb:" + (m_scratch / "passwd.pdb"), "-E",
                   "-H", "-u", "1", "-O", "clf:" + (m_scratch / "xfer.log")});
      args.insert(args.end(), extra.begin(), extra.end());
      break;
    }
  }
  return args;
}

void RealFtpServer::Start(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const std::string outPath = m_scratch / "server.out";
  int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t parent = getpid();
  auto started = std::chrono::steady_clock::now();
  m_pid = fork();
  if (m_pid < 0) throw std::runtime_error("fork failed");
  if (m_pid == 0) {
    // Its own process group, so the server's session processes go with it; and it dies with
    // the test process even when that is killed.
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    int devnull = open("/dev/null", O_RDONLY);
    dup2(devnull, 0);
    dup2(out, 1);
    dup2(out, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out);
  while (!Accepts(m_port)) {
    int status = 0;
    auto waited = std::chrono::steady_clock::now() - started;
    if (waitpid(m_pid, &status, WNOHANG) == m_pid ||
        waited > std::chrono::milliseconds(kStartTimeoutMs)) {
      if (waitpid(m_pid, &status, WNOHANG) == 0) Stop();
      m_pid = -1;
      throw std::runtime_error(std::string(Name(m_kind)) + " did not start: " + ReadText(outPath));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  m_startMs = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now() - started)
                                   .count());
}

void RealFtpServer::Stop() {
  if (m_pid <= 0) return;
  kill(-m_pid, SIGTERM);
  int status = 0;
  for (int i = 0; i < 200 && waitpid(m_pid, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (kill(m_pid, 0) == 0) {
    kill(-m_pid, SIGKILL);
    waitpid(m_pid, &status, 0);
  }
  kill(-m_pid, SIGKILL);  // session processes that outlived their listener
  m_pid = -1;
}

void RealFtpServer::Write(const std::string& name, const std::string& bytes) const {
  m_root.Write(name, bytes);
  // The folders on the way and the file itself belong to the account.
  for (size_t slash = 0; (slash = name.find('/', slash + 1)) != std::string::npos;) {
    if (lchown((m_root / name.substr(0, slash)).c_str(), m_uid, m_gid) != 0) break;
  }
  if (lchown((m_root / name).c_str(), m_uid, m_gid) != 0) {
    throw std::runtime_error("cannot hand " + name + " to the account");
  }
}

std::string RealFtpServer::Read(const std::string& name) const { return m_root.Read(name); }
bool RealFtpServer::Exists(const std::string& name) const { return m_root.Exists(name); }

std::vector<std::string> RealFtpServer::Names() const {
  std::vector<std::string> names;
  if (DIR* d = opendir(root().c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void RealFtpServer::SetMtime(const std::string& name, int64_t utc) const {
  m_root.SetMtime(name, utc);
}

std::vector<std::string> RealFtpServer::Log() const {
  std::vector<std::string> lines;
  std::ifstream in(m_scratch / "server.log");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> RealFtpServer::Commands() const {
  std::vector<std::string> commands;
  for (const std::string& line : Log()) {
    if (m_kind == RealServerKind::Vsftpd) {
      // ... FTP command: Client "127.0.0.1", "EPSV"
      size_t at = line.find("FTP command: Client \"");
      size_t open = at == std::string::npos ? at : line.find("\", \"", at);
      if (open != std::string::npos && line.size() > open + 5) {
        commands.push_back(line.substr(open + 4, line.size() - open - 5));
      }
    } else {
      commands.push_back(line.substr(0, line.find('\t')));  // "%r\t%s %S"
    }
  }
  return commands;
}

}  // namespace tolvane::test
