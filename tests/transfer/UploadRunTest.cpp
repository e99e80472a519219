#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <memory>

#include "ftp/FtpTimes.h"
#include "platform/LocalTime.h"
#include "transfer/UploadRunRig.h"
#include "upload/UploadStarter.h"

namespace tolvane {
namespace {

using Texts = std::vector<std::string>;

// Local files, a list naming them, a real server, and the run with recording seams.
class UploadRunTest : public ::testing::Test, protected test::UploadRunRig {
 protected:
  // A local file with the given bytes and modification time (default: an hour ago).
  std::string Local(const std::string& name, const std::string& bytes, int64_t mtime = -1) {
    site.Write(name, bytes);
    std::string path = site / name;
    if (mtime < 0) mtime = time(nullptr) - 3600;
    test::SetFileTime(path, mtime);
    return path;
  }

  void Run() {
    PressUpload();
    EXPECT_FALSE(state.m_busy);
    EXPECT_TRUE(view.uploadEnabled);
  }

  void RunScheduled(const TimerEntry& entry) {
    status.statusHistory.clear();
    UploadFromSchedule(ctx, entry);
    EXPECT_FALSE(state.m_busy);
  }

  std::string OnServer(const std::string& name) const { return server->files().Read(name); }
  int Uploads() const {
    int n = 0;
    for (const std::string& s : status.statusHistory)
      n += s.find("アップロード中") != std::string::npos;
    return n;
  }
};

TEST_F(UploadRunTest, UploadsNewFilesInTheirModesWithTheStatusTexts) {
  test::FtpServerOptions o;
  o.keepAsciiBytes = true;  // keep the wire's line ends
  Serve(o);
  state.m_asciiExts = {"html", "txt"};
  state.m_clockText = "12：00：00";
  List({Local("index.html", "a\nb\r\nc\n"), "",
        Local("logo.png", std::string("\x89PNG\r\n\0\n", 8)), ""});
  Run();
  EXPECT_EQ(OnServer("index.html"), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(OnServer("logo.png"), std::string("\x89PNG\r\n\0\n", 8));
  EXPECT_EQ(status.statusHistory,
            (Texts{"サーバーに接続しています...", "1番目 更新確認中...", "1番目 アップロード中...",
                   "2番目 更新確認中...", "2番目 アップロード中...", "切断しています...",
                   "完了しました", "TIMER OFF　12：00：00"}));
  // What the run did stays in the file line until the next run.
  const std::string done = "2件アップロード（" + FormatLocal(clock.now, "%H:%M") + "）";
  EXPECT_EQ(status.fileHistory, (Texts{"", "index.html", "", "logo.png", "", done}));
  EXPECT_EQ(state.m_lastResult, done);
  EXPECT_EQ(clock.sleeps, std::vector<int>{1000});
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(view.uploadEnabledHistory, (std::vector<bool>{false, true}));

  Run();  // the server's copies are newer now
  EXPECT_EQ(Uploads(), 0);
}

TEST_F(UploadRunTest, EntryFoldersFallBackToTheServerFolder) {
  Serve();
  server->files().Write("www/sub/.keep", "");
  settings.serverfolder = "/www";
  List({Local("a.txt", "a"), "sub", Local("b.txt", "b"), "missing", Local("c.txt", "c"), ""});
  Run();
  EXPECT_EQ(OnServer("www/sub/a.txt"), "a");
  EXPECT_EQ(OnServer("www/b.txt"), "b");
  EXPECT_EQ(OnServer("www/c.txt"), "c");
  settings.serverfolder = "/nowhere";
  List({Local("d.txt", "d"), "nofolder"});
  Run();
  EXPECT_EQ(OnServer("d.txt"), "d");  // every change failed: the root
}

TEST_F(UploadRunTest, EqualMinutesSkipUnlessSameAgeCounts) {
  Serve();
  const int64_t minute = (time(nullptr) / 86400 - 2) * 86400 + 10 * 3600 + 15 * 60;  // 10:15 UTC
  for (const char* tz : {"Asia/Tokyo", "America/New_York", "UTC"}) {
    setenv("TZ", tz, 1);
    tzset();
    server->files().Write("same.html", "old");
    server->SetMtime("same.html", minute);
    List({Local("same.html", "new", minute + 59), ""});
    Run();
    EXPECT_EQ(OnServer("same.html"), "old") << tz;
    settings.ctrl = 1;
    Run();
    EXPECT_EQ(OnServer("same.html"), "new") << tz;
    settings.ctrl = 0;
  }
  unsetenv("TZ");
  tzset();
}

TEST_F(UploadRunTest, ClockCorrectionMovesTheServerTimeEarlier) {
  Serve();
  int64_t t = time(nullptr) - 7200;
  server->files().Write("a.txt", "server");
  server->SetMtime("a.txt", t);
  List({Local("a.txt", "local", t - 180), ""});  // three minutes older locally
  Run();
  EXPECT_EQ(OnServer("a.txt"), "server");
  settings.clockCorrectionMinutes = -5;
  Run();
  EXPECT_EQ(OnServer("a.txt"), "local");
}

TEST_F(UploadRunTest, KeysAndSettingsPickTheMode) {
  Serve();
  server->files().Write("a.txt", "server");  // newer on the server
  List({Local("a.txt", "local"), ""});
  view.ctrl = true;
  Run();
  EXPECT_EQ(Uploads(), 0);
  view.shift = true;
  settings.ctrl = 1;  // the setting beats the Shift key
  Run();
  EXPECT_EQ(Uploads(), 0);
  view.ctrl = view.shift = false;
  settings.ctrl = 0;
  settings.shift = 1;
  size_t before = server->Commands().size();
  Run();
  EXPECT_EQ(Uploads(), 1);
  EXPECT_EQ(OnServer("a.txt"), "local");
  for (const std::string& s : status.statusHistory)
    EXPECT_EQ(s.find("更新確認中"), std::string::npos);
  std::vector<std::string> commands = server->Commands();
  for (size_t i = before; i < commands.size(); ++i) {
    const std::string& c = commands[i];
    EXPECT_TRUE(c.rfind("MLST", 0) != 0 && c.rfind("MDTM", 0) != 0) << c;
  }
}

TEST_F(UploadRunTest, EmptyOddAndMissingEntries) {
  Serve();
  List({});
  Run();
  EXPECT_EQ(status.statusHistory, (Texts{"サーバーに接続しています...", "切断しています...",
                                         "完了しました", "TIMER OFF　"}));
  List({site / "gone.txt", "", Local("x.txt", "x"), "", site / "unpaired.txt"});
  Run();
  EXPECT_EQ(status.statusHistory,
            (Texts{"サーバーに接続しています...", "1番目 更新確認中...",
                   "1番目 更新確認できませんでした", "2番目 更新確認中...",
                   "2番目 アップロード中...", "切断しています...", "完了しました", "TIMER OFF　"}));
  EXPECT_EQ(clock.sleeps, (std::vector<int>{1000, 1000, 1000}));
  EXPECT_FALSE(server->files().Exists("unpaired.txt"));
}

TEST_F(UploadRunTest, ServersWithoutMlstOrMdtm) {
  for (bool noMdtm : {false, true}) {
    test::FtpServerOptions o;
    o.noMlst = true;
    o.noMdtm = noMdtm;
    Serve(o);
    settings.clockCorrectionMinutes = noMdtm ? 540 : 0;  // this server lists UTC wall-clock times
    server->files().Write("new.txt", "server");
    server->files().Write("old.txt", "server");
    server->SetMtime("old.txt", time(nullptr) - 86400 * 3);
    List({Local("new.txt", "local"), "", Local("old.txt", "local"), "", Local("fresh.txt", "local"),
          ""});
    Run();
    EXPECT_EQ(OnServer("new.txt"), "server") << noMdtm;
    EXPECT_EQ(OnServer("old.txt"), "local") << noMdtm;
    EXPECT_EQ(OnServer("fresh.txt"), "local") << noMdtm;
  }
}

TEST_F(UploadRunTest, ActiveModeAndAwkwardNames) {
  Serve();
  settings.passiveMode = 0;
  List({Local("a b#%.txt", "1"), "", Local("日本語 ファイル.html", "2"), "フォルダ"});
  server->files().Write("フォルダ/.keep", "");
  Run();
  EXPECT_EQ(OnServer("a b#%.txt"), "1");
  EXPECT_EQ(OnServer("フォルダ/日本語 ファイル.html"), "2");
}

TEST_F(UploadRunTest, ConnectFailuresShowTheReasonAndEndIdle) {
  Serve();
  settings.password = "wrong";
  List({Local("a.txt", "a"), ""});
  Run();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].caption, "tolvane");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_NE(prompts.shown[0].text.find("530"), std::string::npos);
  EXPECT_EQ(status.statusHistory, (Texts{"サーバーに接続しています...", "TIMER OFF　"}));

  server.reset();  // nothing listens there any more
  Run();
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_NE(prompts.shown[1].text.find("サーバーに接続できませんでした"), std::string::npos);
}

TEST_F(UploadRunTest, RefusedPutIsReportedAndTheRunGoesOn) {
  test::FtpServerOptions o;
  o.readonlyUser = "guest";
  o.readonlyPassword = "guest";
  Serve(o);
  settings.username = settings.password = "guest";
  List({Local("a.txt", "a"), "", Local("b.txt", "b"), ""});
  Run();
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_NE(prompts.shown[0].text.find("550"), std::string::npos);
  EXPECT_EQ(Uploads(), 2);
  EXPECT_EQ(status.statusHistory.back(), "TIMER OFF　");
}

TEST_F(UploadRunTest, LostConnectionEndsTheRunWithOneMessage) {
  test::FtpServerOptions o;
  o.dropOn = {"STOR"};
  Serve(o);
  List({Local("a.txt", "a"), "", Local("b.txt", "b"), "", Local("c.txt", "c"), ""});
  Run();
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].icon, Icon::Stop);
  EXPECT_EQ(status.statusHistory.back(), "TIMER OFF　");
}

TEST_F(UploadRunTest, SilentServerEndsWithinTheTimeout) {
  test::FtpServerOptions o;
  o.stallOn = {"STOR"};
  Serve(o);
  List({Local("a.txt", "a"), ""});
  time_t start = time(nullptr);
  Run();
  EXPECT_LE(time(nullptr) - start, 8);
  ASSERT_EQ(prompts.shown.size(), 1u);
}

TEST_F(UploadRunTest, RefusalsBeforeConnecting) {
  Run();  // no list selected
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "リストが選択されていません");
  view.lists = {"gone"};
  view.listSelection = 0;
  Run();
  EXPECT_EQ(prompts.shown[1].text, "\"gone\"リストを読み込めませんでした");
  EXPECT_TRUE(status.statusHistory.empty());
  state.m_busy = true;
  UploadFromButton(ctx);  // a run in progress: nothing at all
  EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(UploadRunTest, ScheduledRunTakesTheEntryListAndIgnoresKeys) {
  Serve();
  server->files().Write("a.txt", "server");
  app.Write("list/night.ini", EncodeLines({Local("a.txt", "local"), ""}).value());
  const TimerEntry night{"20300", "night"};
  view.shift = true;  // would force the upload if it were read
  settings.raiseOnScheduledRun = 1;
  RunScheduled(night);
  EXPECT_EQ(view.broughtToFront, 1);
  EXPECT_EQ(Uploads(), 0);
  settings.raiseOnScheduledRun = 0;
  RunScheduled(night);
  EXPECT_EQ(view.broughtToFront, 1);
}

TEST_F(UploadRunTest, YearOldCopyWithFullDateIsReplaced) {
  // Today 12:00 in Japan; the server's copy is from a year ago today at 11:30, the local edit
  // from today at 11:00, both in Japan time.
  clock.now = UtcSeconds(2026, 3, 10, 3, 0, 0);
  for (bool mlst : {true, false}) {
    test::FtpServerOptions o;
    o.noMlst = !mlst;  // MDTM then
    Serve(o);
    server->files().Write("a.txt", "server");
    server->SetMtime("a.txt", UtcSeconds(2025, 3, 10, 2, 30, 0));
    List({Local("a.txt", "local", UtcSeconds(2026, 3, 10, 2, 0, 0)), ""});
    Run();
    EXPECT_EQ(OnServer("a.txt"), "local") << mlst;
  }
}

TEST(UploadComparison, YearRepairMovesALastYearListingForward) {
  setenv("TZ", "UTC", 1);
  tzset();
  auto at = [](int y, int mo, int d, int h, int mi) {
    struct tm t {};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    return static_cast<int64_t>(timegm(&t));
  };
  const int64_t nine = 32400;
  int64_t now = at(2026, 3, 10, 12, 0) + nine;
  // A yearless listing dated 2025-03-10 (year guessed wrong) counts as 2026-03-10.
  EXPECT_FALSE(ShouldUpload(at(2026, 3, 10, 11, 0), at(2025, 3, 10, 11, 30) + nine, false, now, 0,
                            UploadMode::Newer));
  EXPECT_TRUE(ShouldUpload(at(2026, 3, 10, 11, 0), at(2025, 3, 11, 11, 30) + nine, false, now, 0,
                           UploadMode::Newer));
  // The same time with the year given is a year-old copy.
  EXPECT_TRUE(ShouldUpload(at(2026, 3, 10, 11, 0), at(2025, 3, 10, 11, 30) + nine, true, now, 0,
                           UploadMode::Newer));
  // A leap-year January or February gets 366 days.
  now = at(2025, 2, 10, 12, 0) + nine;
  EXPECT_FALSE(ShouldUpload(at(2025, 2, 9, 11, 45), at(2024, 2, 10, 11, 30) + nine, false, now, 0,
                            UploadMode::Newer));
  unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace tolvane
