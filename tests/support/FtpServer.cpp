#include "support/FtpServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace tolvane::test {
namespace {

constexpr int kStartTimeoutMs = 15000;

void AddEach(std::vector<std::string>& args, const char* flag,
             const std::vector<std::string>& values) {
  for (const std::string& v : values) {
    args.push_back(flag);
    args.push_back(v);
  }
}

// Reads the first line the server prints (its port), giving up after a while.
std::string ReadFirstLine(int fd) {
  std::string line;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  while (line.find('\n') == std::string::npos) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
    char buf[64];
    ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) break;
    line.append(buf, static_cast<size_t>(n));
  }
  return line;
}

}  // namespace

FtpServer::FtpServer(FtpServerOptions options) : m_options(std::move(options)) {
  if (m_options.ipv6) m_host = "::1";
  Start();
}

std::string FtpServer::hostField() const {
  std::string host = m_options.ipv6 ? "[" + m_host + "]" : m_host;
  return host + ":" + std::to_string(m_port);
}

FtpServer::~FtpServer() { Stop(); }

void FtpServer::Stop() {
  if (m_stdinFd >= 0) close(m_stdinFd);  // the server exits when its stdin closes
  m_stdinFd = -1;
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
  }
  m_pid = -1;
}

std::vector<std::string> FtpServer::Arguments() const {
  const FtpServerOptions& o = m_options;
  std::vector<std::string> args = {"/usr/bin/python3", TOLVANE_FTP_SERVER_SCRIPT,
                                   "--root",           m_root.path(),
                                   "--user",           o.user,
                                   "--password",       o.password,
                                   "--command-log",    m_scratch / "commands.log"};
  if (!o.readonlyUser.empty()) {
    args.insert(args.end(),
                {"--readonly-user", o.readonlyUser, "--readonly-password", o.readonlyPassword});
  }
  const std::pair<bool, const char*> flags[] = {{o.noMlst, "--no-mlst"},
                                                {o.noMdtm, "--no-mdtm"},
                                                {o.noEpsv, "--no-epsv"},
                                                {o.noEprt, "--no-eprt"},
                                                {o.noUtf8, "--no-utf8"},
                                                {o.featNeedsLogin, "--feat-needs-login"},
                                                {o.keepAsciiBytes, "--keep-ascii-bytes"},
                                                {o.stallData, "--stall-data"},
                                                {o.garbageBanner, "--garbage-banner"}};
  for (const auto& [on, flag] : flags) {
    if (on) args.push_back(flag);
  }
  if (o.ipv6) args.insert(args.end(), {"--host", "::1"});
  if (o.delayMs > 0) args.insert(args.end(), {"--delay-ms", std::to_string(o.delayMs)});
  if (!o.pasvAddress.empty()) args.insert(args.end(), {"--pasv-address", o.pasvAddress});
  AddEach(args, "--stall-on", o.stallOn);
  AddEach(args, "--drop-on", o.dropOn);
  AddEach(args, "--huge-reply-on", o.hugeReplyOn);
  AddEach(args, "--refuse-cwd", o.refuseCwd);
  if (o.maxConnections > 0) {
    args.insert(args.end(), {"--max-connections", std::to_string(o.maxConnections)});
  }
  if (!o.tlsCertificate.empty()) args.insert(args.end(), {"--tls-cert", o.tlsCertificate});
  if (o.implicitTls) args.push_back("--implicit-tls");
  return args;
}

void FtpServer::Start() {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);

  std::vector<std::string> args = Arguments();
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  int rc = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  m_stdinFd = in[1];
  if (rc != 0) {
    close(out[0]);
    m_pid = -1;
    throw std::runtime_error("could not start " + args[0]);
  }
  std::string line = ReadFirstLine(out[0]);
  close(out[0]);
  m_port = std::atoi(line.c_str());
  if (m_port <= 0) {
    Stop();
    throw std::runtime_error("the FTP server did not start: " + line);
  }
}

std::string MakeTestCertificate(const TempDir& folder, const std::string& name) {
  const std::string path = folder / (name + ".pem");
  // An EC key: made in milliseconds, where RSA takes a noticeable while.
  const std::string command =
      "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
      "-subj /CN=" +
      name + " -addext subjectAltName=IP:127.0.0.1 -keyout '" + path + "' -out '" + path +
      ".crt' 2>/dev/null && cat '" + path + ".crt' >> '" + path + "'";
  if (std::system(command.c_str()) != 0) throw std::runtime_error("openssl req failed");
  return path;
}

void FtpServer::SetMtime(const std::string& name, int64_t utc) const { m_root.SetMtime(name, utc); }

std::vector<std::string> FtpServer::Commands() const {
  std::vector<std::string> lines;
  std::ifstream in(m_scratch / "commands.log");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace tolvane::test
