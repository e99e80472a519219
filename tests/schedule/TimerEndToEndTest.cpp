// The real program, started headless in a folder of its own with a one-shot entry for the
// current minute: the entry's files must arrive on a real local FTP server, and the entry
// must be gone from timer.ini afterwards.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <thread>

#include "platform/LineFile.h"
#include "platform/LocalTime.h"
#include "settings/AppSettings.h"
#include "settings/SettingsFile.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"
#include "upload/SafeUploader.h"

namespace tolvane::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::steady_clock;

// The started program; ended (and reaped) whatever way the test leaves.
class Program {
 public:
  Program(const std::string& executable, const std::string& runtimeDir) {
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + runtimeDir,
                                    "LANG=C.UTF-8", "HOME=" + runtimeDir};
    for (const char* name : {"PATH", "TZ"}) {
      if (const char* value = getenv(name)) env.push_back(std::string(name) + "=" + value);
    }
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = executable;
    char* argv[] = {program.data(), nullptr};
    const pid_t parent = getpid();
    m_pid = fork();
    if (m_pid == 0) {
      // Goes with the test even when the test itself is killed (a time-out, say).
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != parent) _exit(127);
      execve(program.c_str(), argv, envp.data());
      _exit(127);
    }
  }
  ~Program() { End(); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return m_pid > 0; }
  // True while the program has not exited on its own.
  bool Running() {
    if (m_pid <= 0) return false;
    if (waitpid(m_pid, &m_status, WNOHANG) == 0) return true;
    m_pid = -1;
    return false;
  }
  // Whether it ended through its own steps (an exit, not a signal's default death).
  bool EndedByItself() const { return WIFEXITED(m_status); }
  // SIGTERM, then SIGKILL when it has not gone within five seconds.
  void End() {
    if (!Running()) return;
    kill(m_pid, SIGTERM);
    const auto deadline = steady_clock::now() + std::chrono::seconds(5);
    while (Running() && steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (Running()) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, &m_status, 0);
      m_pid = -1;
    }
  }

 private:
  pid_t m_pid = -1;
  int m_status = 0;
};

template <typename Condition>
bool WaitFor(Condition done, std::chrono::seconds limit) {
  const auto deadline = steady_clock::now() + limit;
  while (!done()) {
    if (steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  return true;
}

// The program in `app` with the list "web" and the server's account; the schedule is the
// caller's.
void SetUpProgram(const FtpServer& server, const TempDir& app,
                  const std::vector<std::string>& list) {
  const std::string binary = TOLVANE_BINARY_DIR;
  fs::copy_file(binary + "/tolvane", app / "tolvane");
  fs::copy_file(binary + "/tolvanetimetest.txt", app / "tolvanetimetest.txt");
  fs::create_directory(app / "list");
  ASSERT_EQ(WriteLineFile(app / "list/web.ini", list), LineWrite::Ok);

  AppSettings settings = SettingsIn(app);
  ASSERT_TRUE(WriteSettingText(settings, "main", "hostname", server.hostField()));
  ASSERT_TRUE(WriteSettingText(settings, "main", "username", server.options().user));
  ASSERT_TRUE(WriteSettingInt(settings, "main", "pasv", 1));
  ASSERT_TRUE(WriteSettingInt(settings, "timer", "timer", 1));
  ASSERT_EQ(StorePassword(settings, server.options().password), PasswordStore::Ok);
}

// A one-shot entry for the current minute, with time enough left in it for the program to
// start. Never with the shutdown flag.
std::string OneShotNow() {
  if (time(nullptr) % 60 >= 50) {
    std::this_thread::sleep_for(std::chrono::seconds(61 - time(nullptr) % 60));
  }
  return "10" + FormatLocal(time(nullptr), "%Y%m%d%H%M");
}

TEST(TimerEndToEndTest, OneShotEntryUploadsItsListAndIsPurged) {
  FtpServer server;
  server.files().Write("html/.keep", "");
  TempDir app, site, runtime;
  ASSERT_EQ(chmod(runtime.path().c_str(), 0700), 0);
  site.Write("index.html", "<p>トップ</p>\n");
  site.Write("style.css", "p { color: red; }\n");
  SetUpProgram(server, app, {site / "index.html", "html", site / "style.css", ""});
  const std::string code = OneShotNow();
  ASSERT_EQ(code.size(), 14u);
  ASSERT_EQ(code[1], '0');
  ASSERT_EQ(WriteLineFile(app / "timer.ini", {"200000", "web", code, "web"}), LineWrite::Ok);

  Program program(app / "tolvane", runtime.path());
  ASSERT_TRUE(program.Started());
  const bool arrived = WaitFor(
      [&] {
        // The server stores ASCII uploads with its own line ends, LF here.
        return server.files().Read("html/index.html") == "<p>トップ</p>\n" &&
               server.files().Read("style.css") == "p { color: red; }\n";
      },
      std::chrono::seconds(60));
  EXPECT_TRUE(arrived) << "files on the server: html/index.html "
                       << server.files().Exists("html/index.html") << ", style.css "
                       << server.files().Exists("style.css");
  // The purge after the run leaves the daily entry alone.
  const bool purged = WaitFor([&] { return app.Read("timer.ini") == "200000\r\nweb\r\n"; },
                              std::chrono::seconds(10));
  EXPECT_TRUE(purged) << app.Read("timer.ini");
  EXPECT_TRUE(program.Running()) << "the program ended by itself";
  program.End();
}

// Logging out or powering off sends SIGTERM: the transfer in progress is broken off and the
// program ends at once, never leaving a short file under the real name.
TEST(TimerEndToEndTest, EndingDuringAnUploadLeavesNoDamagedFile) {
  FtpServer server({.stallData = true});
  TempDir app, site, runtime;
  ASSERT_EQ(chmod(runtime.path().c_str(), 0700), 0);
  site.Write("big.bin", std::string(24 << 20, 'b'));  // more than the socket buffers hold
  server.files().Write("big.bin", "the old, whole file");
  server.SetMtime("big.bin", time(nullptr) - 86400);
  SetUpProgram(server, app, {site / "big.bin", ""});
  ASSERT_EQ(WriteLineFile(app / "timer.ini", {OneShotNow(), "web"}), LineWrite::Ok);

  Program program(app / "tolvane", runtime.path());
  ASSERT_TRUE(program.Started());
  const std::string part = SafeUploader::TemporaryNameFor("big.bin");
  ASSERT_TRUE(WaitFor([&] { return server.files().Exists(part); }, std::chrono::seconds(60)));
  program.End();
  EXPECT_TRUE(program.EndedByItself());
  EXPECT_EQ(server.files().Read("big.bin"), "the old, whole file");
}

}  // namespace
}  // namespace tolvane::test
