#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "app/BusyGuard.h"
#include "app/MainState.h"
#include "platform/LocalTime.h"
#include "support/Fakes.h"
#include "support/FtpServer.h"
#include "support/TempDir.h"
#include "transfer/ClockCheck.h"
#include "transfer/FtpTexts.h"

namespace tolvane {
namespace {

using Texts = std::vector<std::string>;

// The server stamps files with the real time, so the PC side must read it too; the waits are
// recorded, not slept.
class RealTimeClock : public test::FakeClock {
 public:
  int64_t Now() override { return time(nullptr); }
};

const Texts kFullRun = {"サーバーに接続しています...", "時間を確認しています...", "切断しています...",
                        "TIMER OFF　12：00：00"};

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

  // Runs the check with scripted answers; returns the moment it started.
  int64_t Check(std::deque<Answer> answers = {Answer::No}) {
    // Both sides are read within a second or two: keep them inside one minute.
    while (time(nullptr) % 60 >= 55) usleep(200 * 1000);
    prompts.answers = std::move(answers);
    FtpOptions options;
    options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 2000;
    const int64_t started = time(nullptr);
    ClockCheck(ctx, [this] { ++settingsOpened; }, options).CheckServerClock();
    EXPECT_FALSE(state.m_busy);
    return started;
  }

  bool ServerGot(const std::string& command) const {
    Texts c = server->Commands();
    return std::find(c.begin(), c.end(), command) != c.end();
  }

  static std::string Minute(int64_t t) { return FormatLocal(t, "%m/%d %H:%M"); }
  static std::string Question(const std::string& pc, const std::string& server) {
    return "PC側　" + pc + "\nサーバー側　" + server + "\n\n時間補正を設定しますか？";
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

TEST(ClockQuestionText, ShowsBothTimesToTheMinuteInLocalTime) {
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  const int64_t t = 1709618859;  // 2024-03-05 06:07:39 UTC
  EXPECT_EQ(ClockQuestionText(t, t - 3600),
            "PC側　03/05 15:07\nサーバー側　03/05 14:07\n\n時間補正を設定しますか？");
  unsetenv("TZ");
  tzset();
}

TEST_F(ClockCheckTest, BothLinesAgreeWithoutCorrectionAndTheTestFileIsGone) {
  Serve();
  server->files().Write("www/.keep", "");
  settings.serverfolder = "/www";
  const int64_t started = Check();

  ASSERT_EQ(prompts.shown.size(), 1u);
  const test::Shown& q = prompts.shown[0];
  EXPECT_EQ(q.text, Question(Minute(started), Minute(started)));
  EXPECT_EQ(q.caption, "確認");
  EXPECT_EQ(q.icon, Icon::Information);
  EXPECT_EQ(q.buttons, Buttons::YesNo);
  EXPECT_EQ(settingsOpened, 0);  // No

  EXPECT_EQ(status.statusHistory, kFullRun);
  EXPECT_EQ(status.fileHistory, Texts{""});
  EXPECT_EQ(clock.sleeps, (std::vector<int>{500, 1000}));
  // Put in ASCII mode into the server folder, read, and deleted again.
  Texts c = server->Commands();
  auto at = [&c](const std::string& s) { return std::find(c.begin(), c.end(), s) - c.begin(); };
  EXPECT_LT(at("CWD /"), at("CWD /www"));
  EXPECT_LT(at("CWD /www"), at("TYPE A"));
  EXPECT_LT(at("TYPE A"), at("STOR tolvanetimetest.txt"));
  EXPECT_LT(at("STOR tolvanetimetest.txt"), at("DELE tolvanetimetest.txt"));
  EXPECT_LT(at("DELE tolvanetimetest.txt"), static_cast<long>(c.size()));
  EXPECT_FALSE(server->files().Exists("www/tolvanetimetest.txt"));
  EXPECT_EQ(app.Read(kClockTestFile), "Tolvane clock test\n");  // the local file is left alone
}

TEST_F(ClockCheckTest, TheCorrectionMovesTheServerLineAndYesOpensTheSettings) {
  Serve();
  settings.stime = -60;
  settings.timer = 1;
  const int64_t started = Check({Answer::Yes});
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, Question(Minute(started), Minute(started - 3600)));
  EXPECT_EQ(settingsOpened, 1);
  EXPECT_EQ(status.status, "TIMER ON　12：00：00");
  EXPECT_EQ(settings.stime, -60);  // the check itself stores nothing
}

TEST_F(ClockCheckTest, AFailedPutStillReadsAnOldTestFile) {
  test::FtpServerOptions o;
  o.readonlyUser = "viewer";
  o.readonlyPassword = "view";
  Serve(o);
  settings.username = "viewer";
  settings.password = "view";
  const int64_t old = 1709618859;  // 2024-03-05 06:07:39 UTC
  server->files().Write(kClockTestFile, "left over");
  server->SetMtime(kClockTestFile, old);
  const int64_t started = Check();

  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[0].caption, kAppName);
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_EQ(prompts.shown[0].text.substr(0, 4), "550 ");  // the server's own words
  EXPECT_EQ(prompts.shown[1].text, Question(Minute(started), "03/05 15:07"));
  EXPECT_EQ(status.statusHistory, kFullRun);
  // The delete is asked for; this account may not, so the file stays.
  EXPECT_TRUE(ServerGot("DELE tolvanetimetest.txt"));
  EXPECT_EQ(server->files().Read(kClockTestFile), "left over");
}

TEST_F(ClockCheckTest, AConnectionLostDuringThePutEndsCleanlyWithoutAQuestion) {
  Serve({.dropOn = {"STOR"}});
  Check({Answer::Yes});
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, kFtpConnectionLost);
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_EQ(status.statusHistory, kFullRun);
  EXPECT_EQ(settingsOpened, 0);
}

TEST_F(ClockCheckTest, WithoutTheLocalTestFileNothingConnects) {
  Serve();
  ASSERT_EQ(unlink((app / kClockTestFile).c_str()), 0);
  Check();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "\"tolvanetimetest.txt\"の読み込みに失敗しました");
  EXPECT_EQ(prompts.shown[0].caption, "エラー");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Warning);
  EXPECT_TRUE(status.statusHistory.empty());
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_TRUE(server->Commands().empty());
}

TEST_F(ClockCheckTest, AConnectFailureShowsTheReasonAndGoesIdle) {
  Serve();
  settings.password = "wrong";
  Check({Answer::Yes});
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "530 Authentication failed.");
  EXPECT_EQ(prompts.shown[0].caption, kAppName);
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_EQ(status.statusHistory, (Texts{"サーバーに接続しています...", "TIMER OFF　12：00：00"}));
  EXPECT_FALSE(ServerGot("STOR tolvanetimetest.txt"));
  EXPECT_EQ(settingsOpened, 0);
}

TEST_F(ClockCheckTest, RefusedWhileARunIsBusyAndSilentWhenTheWindowIsClosing) {
  Serve();
  state.m_busy = true;
  ClockCheck(ctx, [this] { ++settingsOpened; }).CheckServerClock();
  EXPECT_TRUE(state.m_busy);  // still the run's
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, kBusyMessage);
  EXPECT_TRUE(server->Commands().empty());

  // A window ended during the check asks nothing once the check is done.
  state.m_busy = false;
  state.m_closing = true;
  prompts.shown.clear();
  Check({Answer::Yes});
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(settingsOpened, 0);
  EXPECT_FALSE(server->files().Exists(kClockTestFile));
}

}  // namespace
}  // namespace tolvane
