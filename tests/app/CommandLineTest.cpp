// The real executable run as cron or a systemd timer would run it: no display, no session
// bus, nothing in its environment but a PATH, against a real local FTP server.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

struct Outcome {
  int status = -1;
  std::string out, err;
};

class CommandLineTest : public ::testing::Test {
 protected:
  // The program in its own folder with the list "web" of `files` and the server's account.
  void SetUpProgram(const FtpServer& server, const std::vector<std::string>& files) {
    fs::copy_file(std::string(TOLVANE_BINARY_DIR) + "/tolvane", app / "tolvane");
    fs::create_directory(app / "list");
    std::vector<std::string> lines;
    for (const std::string& file : files) {
      lines.push_back(site / file);
      lines.push_back("");
    }
    ASSERT_EQ(WriteLineFile(app / "list/web.ini", lines), LineWrite::Ok);
    AppSettings settings = SettingsIn(app);
    ASSERT_TRUE(WriteSettingText(settings, "main", "hostname", server.hostField()));
    ASSERT_TRUE(WriteSettingText(settings, "main", "username", server.options().user));
    ASSERT_TRUE(WriteSettingInt(settings, "main", "pasv", 1));
    ASSERT_EQ(StorePassword(settings, server.options().password), PasswordStore::Ok);
  }

  // Starts the program; its output goes to files read by Wait.
  pid_t Start(std::vector<std::string> arguments, const std::string& name = "run") {
    arguments.insert(arguments.begin(), app / "tolvane");
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::string path = "PATH=/usr/bin:/bin";
    char* envp[] = {path.data(), nullptr};
    const std::string out = scratch / (name + ".out"), err = scratch / (name + ".err");
    const pid_t pid = fork();
    if (pid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
      dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
      execve(argv[0], argv.data(), envp);
      _exit(127);
    }
    return pid;
  }

  Outcome Wait(pid_t pid, const std::string& name = "run") {
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, scratch.Read(name + ".out"),
            scratch.Read(name + ".err")};
  }

  Outcome Run(const std::vector<std::string>& arguments) { return Wait(Start(arguments)); }

  TempDir app, site, scratch;
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(CommandLineTest, UploadsOnlyWhatIsNewerAndLogsIt) {
  FtpServer server;
  site.Write("index.html", "<p>top</p>\n");
  site.Write("logo.png", "png");
  SetUpProgram(server, {"index.html", "logo.png"});

  Outcome first = Run({"--upload", "web"});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_TRUE(Has(first.out, "アップロード: " + (site / "index.html") + "（")) << first.out;
  EXPECT_TRUE(Has(first.out, "合計: アップロード 2・最新 0"));
  EXPECT_EQ(server.files().Read("logo.png"), "png");
  EXPECT_TRUE(Has(app.Read("log/" + FormatLocal(time(nullptr), "%Y-%m") + ".log"),
                  " コマンドライン\nリスト: web\n"));

  Outcome again = Run({"--upload=web"});
  EXPECT_EQ(again.status, 0);
  EXPECT_TRUE(Has(again.out, "最新: " + (site / "logo.png") + "\n"));
  Outcome all = Run({"--upload", "web", "--mode", "all"});
  EXPECT_TRUE(Has(all.out, "合計: アップロード 2・"));

  // A preview tells what would go up, and why, and changes nothing anywhere.
  site.Write("logo.png", "new png");
  SetFileTime(site / "logo.png", time(nullptr) + 120);
  const std::string log = app.Read("log/" + FormatLocal(time(nullptr), "%Y-%m") + ".log");
  Outcome preview = Run({"--preview", "web"});
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_TRUE(Has(preview.out, "アップロードする: " + (site / "logo.png") + "（")) << preview.out;
  EXPECT_TRUE(Has(preview.out, "最新: " + (site / "index.html") + "（"));
  EXPECT_EQ(server.files().Read("logo.png"), "png");
  EXPECT_EQ(app.Read("log/" + FormatLocal(time(nullptr), "%Y-%m") + ".log"), log);

  Outcome lists = Run({"--lists"});
  EXPECT_EQ(lists.status, 0);
  EXPECT_EQ(lists.out, "web\n");
}

TEST_F(CommandLineTest, ExitStatusSaysWhatWentWrong) {
  FtpServer server;
  site.Write("a.txt", "a");
  SetUpProgram(server, {"a.txt", "missing.txt"});

  Outcome troubled = Run({"--upload", "web"});
  EXPECT_EQ(troubled.status, 1);
  EXPECT_TRUE(Has(troubled.out, "ローカルファイルなし: " + (site / "missing.txt")));

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--upload"},
                                              {"--bogus"},
                                              {"--lists", "--mode", "all"},
                                              {"--upload", "web", "--mode", "fast"}}) {
    Outcome refused = Run(bad);
    EXPECT_EQ(refused.status, 3) << bad.back();
    EXPECT_FALSE(refused.err.empty());
  }
  Outcome unknown = Run({"--upload", "ウェブ"});
  EXPECT_EQ(unknown.status, 3);
  EXPECT_TRUE(Has(unknown.err, "リスト「ウェブ」はありません")) << unknown.err;
  EXPECT_TRUE(Has(unknown.err, "  web\n"));

  AppSettings settings = SettingsIn(app);
  ASSERT_TRUE(WriteSettingText(settings, "main", "hostname", "127.0.0.1:1"));
  Outcome unreachable = Run({"--upload", "web"});
  EXPECT_EQ(unreachable.status, 2);
  EXPECT_FALSE(unreachable.err.empty());
}

// A run already busy on the folder keeps the second one off the server: it gives up with
// status 4. The first, ended by SIGTERM mid-transfer, leaves the server's file whole.
TEST_F(CommandLineTest, OverlappingRunsNeverMeetOnTheServer) {
  FtpServer server({.stallData = true});
  site.Write("big.bin", std::string(24 << 20, 'b'));
  server.files().Write("big.bin", "the old, whole file");
  server.SetMtime("big.bin", time(nullptr) - 86400);
  SetUpProgram(server, {"big.bin"});

  const pid_t first = Start({"--upload", "web"}, "first");
  const std::string part = SafeUploader::TemporaryNameFor("big.bin");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!server.files().Exists(part) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(server.files().Exists(part));
  Outcome second = Run({"--upload", "web"});
  EXPECT_EQ(second.status, 4);
  EXPECT_TRUE(Has(second.err, "ほかのアップロード"));

  kill(first, SIGTERM);
  Outcome ended = Wait(first, "first");
  EXPECT_EQ(ended.status, 1);
  EXPECT_EQ(server.files().Read("big.bin"), "the old, whole file");
}

}  // namespace
}  // namespace tolvane::test
