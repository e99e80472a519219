#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "platform/LocalTime.h"
#include "support/Fakes.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"
#include "upload/ClockCheck.h"
#include "upload/FailureTexts.h"
#include "window/BusyGuard.h"
#include "window/MainState.h"

namespace tolvane {
namespace {

using Texts = std::vector<std::string>;

// The server stamps files with the real time, so the PC side reads it too; waits are recorded.
class RealTimeClock : public test::FakeClock {
 public:
  int64_t Now() override { return time(nullptr); }
};

const Texts kFullRun = {"サーバーに接続しています...", "時間を確認しています...",
                        "切断しています...", "TIMER OFF　12：00：00"};

class ClockCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    app.Write(kClockTestFile, "Tolvane clock test\n");
    state.m_clockText = "12：00：00";
  }
  void TearDown() override {
    unsetenv("TZ");
    tzset();
  }

  void Serve(test::FtpServerOptions options = {}) {
    server = std::make_unique<test::FtpServer>(options);
    settings.hostname = server->hostField();
    settings.username = options.user;
    settings.password = options.password;
  }

  // Runs the check with a scripted answer; returns the moment it started.
  int64_t Check(Answer answer = Answer::No) {
    while (time(nullptr) % 60 >= 55) usleep(200 * 1000);  // both sides within one minute
    prompts.answers = {answer};
    FtpOptions options;
    options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 2000;
    const int64_t started = time(nullptr);
    ClockCheck check(
        ctx, [this] { ++settingsOpened; }, options);
    check.CheckServerClock();
    EXPECT_FALSE(state.m_busy);
    return started;
  }

  // Position of `command` in the server's log (its size when absent).
  long At(const std::string& command) const {
    Texts c = server->Commands();
    return std::find(c.begin(), c.end(), command) - c.begin();
  }
  bool ServerGot(const std::string& command) const {
    return At(command) < static_cast<long>(server->Commands().size());
  }

  static std::string Question(int64_t pc, const std::string& server) {
    return "PC側　" + FormatLocal(pc, "%m/%d %H:%M") + "\nサーバー側　" + server +
           "\n\n時間補正を設定しますか？";
  }

  test::TempDir app;
  AppSettings settings = test::SettingsIn(app);
  MainState state;
  test::FakeMainView view;
  test::RecordingPrompts prompts;
  test::RecordingStatus status;
  RealTimeClock clock;
  MainContext ctx{settings, state, view, prompts, status, clock};
  std::unique_ptr<test::FtpServer> server;
  int settingsOpened = 0;
};

TEST_F(ClockCheckTest, BothLinesAgreeWithoutCorrectionAndTheTestFileIsGone) {
  Serve();
  server->files().Write("www/.keep", "");
  settings.serverfolder = "/www";
  const int64_t started = Check(Answer::No);

  ASSERT_EQ(prompts.shown.size(), 1u);
  const test::Shown& q = prompts.shown[0];
  EXPECT_EQ(q.text, Question(started, FormatLocal(started, "%m/%d %H:%M")));
  EXPECT_EQ(q.caption, "確認");
  EXPECT_EQ(q.icon, Icon::Information);
  EXPECT_EQ(q.buttons, Buttons::YesNo);
  EXPECT_EQ(settingsOpened, 0);
  EXPECT_EQ(status.statusHistory, kFullRun);
  EXPECT_EQ(status.fileHistory, Texts{""});
  EXPECT_EQ(clock.sleeps, (std::vector<int>{500, 1000}));
  // Put in ASCII mode into the server folder, then deleted there.
  EXPECT_LT(At("CWD /"), At("CWD /www"));
  EXPECT_LT(At("CWD /www"), At("TYPE A"));
  EXPECT_LT(At("TYPE A"), At("STOR tolvanetimetest.txt"));
  EXPECT_LT(At("STOR tolvanetimetest.txt"), At("DELE tolvanetimetest.txt"));
  EXPECT_TRUE(ServerGot("DELE tolvanetimetest.txt"));
  EXPECT_FALSE(server->files().Exists("www/tolvanetimetest.txt"));
  EXPECT_EQ(app.Read(kClockTestFile), "Tolvane clock test\n");
}

TEST_F(ClockCheckTest, TheCorrectionMovesTheServerLineAndYesOpensTheSettings) {
  Serve();
  settings.clockCorrectionMinutes = -60;
  settings.timer = 1;
  const int64_t started = Check(Answer::Yes);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, Question(started, FormatLocal(started - 3600, "%m/%d %H:%M")));
  EXPECT_EQ(settingsOpened, 1);
  EXPECT_EQ(status.status, "TIMER ON　12：00：00");
}

TEST_F(ClockCheckTest, AFailedPutStillReadsAnOldTestFile) {
  Serve({.readonlyUser = "viewer", .readonlyPassword = "view"});
  settings.username = "viewer";
  settings.password = "view";
  server->files().Write(kClockTestFile, "left over");
  server->SetMtime(kClockTestFile, 1709618859);  // 2024-03-05 06:07:39 UTC
  const int64_t started = Check();

  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].caption, "tolvane");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_EQ(prompts.shown[0].text.substr(0, 4), "550 ");  // the server's own words
  EXPECT_EQ(prompts.shown[1].text, Question(started, "03/05 15:07"));
  EXPECT_EQ(status.statusHistory, kFullRun);
  // The delete is asked for; this account may not delete, so the file stays.
  EXPECT_TRUE(ServerGot("DELE tolvanetimetest.txt"));
}

TEST_F(ClockCheckTest, FailedConnectionsEndIdleWithoutAQuestion) {
  Serve({.dropOn = {"STOR"}});
  Check(Answer::Yes);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, kFtpConnectionLost);
  EXPECT_EQ(status.statusHistory, kFullRun);

  Serve();
  settings.password = "wrong";
  prompts.shown.clear();
  status.statusHistory.clear();
  Check(Answer::Yes);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "530 Authentication failed.");
  EXPECT_EQ(prompts.shown[0].caption, "tolvane");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_EQ(status.statusHistory, (Texts{"サーバーに接続しています...", "TIMER OFF　12：00：00"}));
  EXPECT_FALSE(ServerGot("STOR tolvanetimetest.txt"));
  EXPECT_EQ(settingsOpened, 0);
}

TEST_F(ClockCheckTest, NoConnectionWithoutTheLocalFileOrWhileARunIsBusy) {
  Serve();
  state.m_busy = true;
  ClockCheck(ctx, [] {}).CheckServerClock();
  EXPECT_TRUE(state.m_busy);  // still the run's
  state.m_busy = false;
  ASSERT_EQ(unlink((app / kClockTestFile).c_str()), 0);
  Check();
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].text, kBusyMessage);
  EXPECT_EQ(prompts.shown[1].text, "\"tolvanetimetest.txt\"の読み込みに失敗しました");
  EXPECT_EQ(prompts.shown[1].caption, "エラー");
  EXPECT_EQ(prompts.shown[1].icon, Icon::Warning);
  EXPECT_TRUE(status.statusHistory.empty());
  EXPECT_TRUE(server->Commands().empty());
}

TEST_F(ClockCheckTest, AWindowEndedDuringTheCheckAsksNothing) {
  Serve();
  state.m_closing = true;
  Check(Answer::Yes);
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(settingsOpened, 0);
  EXPECT_TRUE(ServerGot("DELE tolvanetimetest.txt"));
}

}  // namespace
}  // namespace tolvane
