#include "support/ScriptedFtpServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

extern char** environ;

namespace tolvane::test {
namespace {

// The port the server prints once it listens; empty when it does not start within 15 s.
std::string ReadPort(int fd) {
  std::string line;
  while (line.find('\n') == std::string::npos) {
    pollfd p{fd, POLLIN, 0};
    char buf[64];
    ssize_t n = poll(&p, 1, 15000) > 0 ? read(fd, buf, sizeof buf) : 0;
    if (n <= 0) break;
    line.append(buf, static_cast<size_t>(n));
  }
  return line;
}

}  // namespace

ScriptedFtpServer::ScriptedFtpServer(std::vector<std::string> rules) {
  std::vector<std::string> args = {
      "/usr/bin/python3",        TOLVANE_SCRIPTED_FTP_SERVER, "--root", m_root.path(), "--log",
      m_scratch / "commands.log"};
  for (std::string& rule : rules) args.insert(args.end(), {"--rule", std::move(rule)});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  int rc = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  m_stdinFd = in[1];
  std::string line = rc == 0 ? ReadPort(out[0]) : std::string();
  close(out[0]);
  if (rc != 0) m_pid = -1;
  m_port = std::atoi(line.c_str());
  if (m_port <= 0) {
    Stop();
    throw std::runtime_error("the scripted FTP server did not start");
  }
}

ScriptedFtpServer::~ScriptedFtpServer() { Stop(); }

void ScriptedFtpServer::Stop() {
  if (m_stdinFd >= 0) close(m_stdinFd);  // the server exits when its stdin closes
  m_stdinFd = -1;
  if (m_pid > 0) {
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
  m_pid = -1;
}

std::vector<std::string> ScriptedFtpServer::Commands() const {
  std::vector<std::string> lines;
  std::ifstream in(m_scratch / "commands.log");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

int ScriptedFtpServer::Count(const std::string& verb) const {
  int n = 0;
  for (const std::string& line : Commands()) {
    n += line.rfind(verb, 0) == 0 && (line.size() == verb.size() || line[verb.size()] == ' ');
  }
  return n;
}

}  // namespace tolvane::test
