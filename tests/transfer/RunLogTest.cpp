#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "platform/LocalTime.h"
#include "transfer/UploadRunRig.h"
#include "upload/RunLog.h"
#include "upload/UploadStarter.h"

namespace tolvane {
namespace {

class RunLogTest : public ::testing::Test, protected test::UploadRunRig {
 protected:
  // A local file last changed an hour ago.
  std::string Local(const std::string& name, const std::string& bytes) {
    site.Write(name, bytes);
    test::SetFileTime(site / name, clock.now - 3600);
    return site / name;
  }

  UploadReport Press() {
    FtpOptions options;
    options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 2000;
    std::optional<UploadReport> report = UploadFromButton(ctx, options);
    EXPECT_TRUE(report.has_value());
    return report.value_or(UploadReport{});
  }

  std::string LogOfThisMonth() const {
    return app.Read("log/" + FormatLocal(clock.now, "%Y-%m") + ".log");
  }
};

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(RunLogTest, RecordsEveryEntryWithWhatBecameOfIt) {
  Serve();
  settings.temporaryNames = 0;
  settings.logFtp = 1;
  settings.connections = 1;  // the whole conversation on one connection, lines unmarked
  state.m_asciiExts = {"html"};
  server->files().Write("same.png", "newer on the server");
  server->files().Write("taken.html/keep", "");  // a folder where the file should go
  List({Local("index.html", "a\nb\n"), "", Local("same.png", "old"), "", site / "gone.txt", "",
        Local("taken.html", "t"), ""});
  const int64_t started = clock.now;
  UploadReport report = Press();
  EXPECT_FALSE(report.logFailed);

  const std::string log = LogOfThisMonth();
  EXPECT_EQ(
      log.rfind("=== " + FormatLocal(started, "%Y-%m-%d %H:%M:%S") + " ボタン\n" +
                    "リスト: web\nモード: 新しいファイルのみ\nサーバー: " + settings.hostname +
                    "\n  アップロード: " + (site / "index.html") + "（4バイト・ASCII・",
                0),
      0u);
  EXPECT_TRUE(Has(log, "\n  最新: " + (site / "same.png") + "\n"));
  EXPECT_TRUE(Has(log, "\n  ローカルファイルなし: " + (site / "gone.txt") + "\n"));
  EXPECT_TRUE(Has(log, "\n  失敗: " + (site / "taken.html") + "（550 "));
  EXPECT_TRUE(Has(log,
                  "\n合計: アップロード 1・最新 1・ローカルファイルなし 1・確認できず 0・"
                  "失敗 1・未実行 0\n所要時間: 2秒（"));
  // The conversation, with the account's password masked.
  EXPECT_TRUE(Has(log, "\nFTP:\n"));
  EXPECT_TRUE(Has(log, "\n  > PASS ********\n"));
  EXPECT_FALSE(Has(log, settings.password));
  EXPECT_TRUE(Has(log, "\n  = STOR index.html 6バイト 完了\n"));  // LF became CR LF on the wire
  EXPECT_EQ(log.substr(log.size() - 2), "\n\n");

  // A run that could not connect: every entry left unreached, appended to the same file.
  settings.hostname = "127.0.0.1:1";
  settings.logFtp = 0;
  Press();
  const std::string both = LogOfThisMonth();
  EXPECT_EQ(both.rfind(log, 0), 0u);
  const std::string second = both.substr(log.size());
  EXPECT_TRUE(Has(second, "\n接続できませんでした: "));
  EXPECT_TRUE(Has(second, "\n  未実行: " + (site / "index.html") + "\n"));
  EXPECT_TRUE(Has(second, "未実行 4\n"));
  EXPECT_FALSE(Has(second, "FTP:"));
}

TEST_F(RunLogTest, AnUnwritableLogIsToldOnceAndTheRunsGoOn) {
  Serve();
  app.Write("log", "a file where the folder should be");
  List({Local("a.txt", "a"), ""});
  EXPECT_TRUE(Press().logFailed);
  EXPECT_EQ(server->files().Read("a.txt"), "a");
  EXPECT_TRUE(Press().logFailed);
  EXPECT_EQ(std::count_if(status.fileHistory.begin(), status.fileHistory.end(),
                          [](const std::string& line) {
                            return line.find(kRunLogFailedText) != std::string::npos;
                          }),
            1);
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(RunLogTest, EntriesThatNeverRanAreLoggedAndShownBesideTheLastResult) {
  state.m_lastResult = "2件アップロード（03:00）";
  const std::vector<MissedRun> missed = {{"2026-12-06 23:00", "ブログ", MissedRun::Why::NotRunning},
                                         {"2026-12-07 02:30", "サイト", MissedRun::Why::Away}};
  RecordMissedRuns(ctx, missed);
  RecordMissedRuns(ctx, {missed[1]});
  EXPECT_EQ(status.fileLine, std::string("2件アップロード（03:00）　") + kMissedRunsText);
  const std::string log = LogOfThisMonth();
  EXPECT_EQ(
      log.rfind("=== " + FormatLocal(clock.now, "%Y-%m-%d %H:%M:%S") +
                    " 予約\n実行されなかった予約: 2\n"
                    "  実行されず: 2026-12-06 23:00 ブログ（プログラムが起動していませんでした）\n"
                    "  実行されず: 2026-12-07 02:30 サイト（",
                0),
      0u);
}

TEST_F(RunLogTest, ALongListsRecordGoesOutWholeInPieces) {
  settings.hostname = "127.0.0.1:1";  // nothing listens: every entry is left unreached
  std::vector<std::string> lines;
  for (int i = 0; i < 3000; ++i) {
    lines.push_back(site / ("page" + std::to_string(i) + ".html"));
    lines.push_back("folder" + std::to_string(i % 7));
  }
  List(lines);
  Press();
  const std::string log = LogOfThisMonth();
  EXPECT_GT(log.size(), 2 * 64 * 1024u);                              // several pieces
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5 + 3000 + 3);  // head, entries, end
  EXPECT_TRUE(Has(log, "\n  未実行: " + (site / "page2999.html") + " → folder3\n合計: "));
  EXPECT_EQ(log.substr(log.size() - 2), "\n\n");
}

TEST(RunLogConversation, LinesOfTheExtraConnectionsSayWhose) {
  FtpTraceEvent event;
  event.command = "NOOP";
  EXPECT_EQ(ConversationLines(event), std::vector<std::string>{"> NOOP"});
  event.connection = 3;
  EXPECT_EQ(ConversationLines(event), std::vector<std::string>{"[接続3] > NOOP"});
}

TEST(RunLogFolder, KeepsTwelveMonthsBeforeTheCurrentOne) {
  test::TempDir dir;
  for (const char* name : {"2025-11.log", "2025-12.log", "2026-12.log", "1999-01.txt", "notes"}) {
    dir.Write(name, "x");
  }
  dir.Write("2024-01.log/inside", "x");  // not a file: left alone
  std::tm midDecember{};
  midDecember.tm_year = 2026 - 1900;
  midDecember.tm_mon = 11;
  midDecember.tm_mday = 15;
  midDecember.tm_hour = 12;
  midDecember.tm_isdst = -1;
  RemoveOldRunLogs(dir.path(), std::mktime(&midDecember));
  EXPECT_FALSE(dir.Exists("2025-11.log"));
  for (const char* kept : {"2025-12.log", "2026-12.log", "1999-01.txt", "notes", "2024-01.log"}) {
    EXPECT_TRUE(dir.Exists(kept)) << kept;
  }
}

}  // namespace
}  // namespace tolvane
