// The run log read back for the log window: each kind of record taken apart, the newest
// first across the month files, and damaged files read as far as they can be.
#include <gtest/gtest.h>

#include "support/FifoFile.h"
#include "support/TempDir.h"
#include "upload/RunLogReader.h"

namespace tolvane {
namespace {

std::string Record(const std::string& time, const std::string& list, const std::string& body) {
  return "=== 2026-12-07 " + time + " ボタン\nリスト: " + list + "\nモード: 新しいファイルのみ\n" +
         body + "所要時間: 1秒（" + time + " 終了）\n\n";
}

TEST(RunLogReader, TakesEachKindOfRecordApart) {
  const std::string text =
      "=== 2026-12-07 18:25:48 ボタン\nリスト: サンプル\nモード: 新しいファイルのみ\n"
      "サーバー: 127.0.0.1:38673\n"
      "  アップロード: /s/index.html（90バイト・ASCII・1ミリ秒）\n"
      "  アップロード: /s/style.css → css（57バイト・バイナリ・1ミリ秒）\n"
      "  最新: /s/a.html\n  確認できず: /s/c.html（server text）\n  失敗: /s/d.html（550 no）\n"
      "  未実行: /s/e.html\n"
      "合計: アップロード 2・最新 1・ローカルファイルなし 1・確認できず 1・失敗 1・未実行 1\n"
      "所要時間: 1秒（18:25:49 終了）\nFTP:\n  > USER demo\n  < 331 Password\n\n"
      "=== 2026-12-07 19:00:00 コマンドライン\nリスト: サンプル\nサーバー: example:21\n"
      "接続できませんでした: 応答がありません\n  未実行: /s/index.html\n"
      "合計: アップロード 0・最新 0・ローカルファイルなし 0・確認できず 0・失敗 0・未実行 1\n\n"
      "=== 2026-12-07 03:01:00 予約\n実行されなかった予約: 2\n"
      "  実行されず: 2026-12-07 02:30 サイト（理由の文）\n  実行されず: 2026-12-07 02:45 "
      "ブログ\n\n";
  const std::vector<LoggedRun> runs = ParseRunLog(text);
  ASSERT_EQ(runs.size(), 3u);

  const LoggedRun& upload = runs[0];
  EXPECT_EQ(upload.startedAt, "2026-12-07 18:25:48");
  EXPECT_EQ(upload.origin, "ボタン");
  EXPECT_EQ(upload.listName, "サンプル");
  EXPECT_EQ(upload.summary, "2件アップロード・1件失敗・1件確認できず・1件ファイルなし");
  EXPECT_TRUE(upload.failure);
  ASSERT_EQ(upload.lines.size(), 6u);
  EXPECT_EQ(upload.lines[1].text,
            "アップロード: /s/style.css → css（57バイト・バイナリ・1ミリ秒）");
  const bool failures[] = {false, false, false, true, true, false};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(upload.lines[i].failure, failures[i]) << i;
  EXPECT_EQ(upload.ftpLines, (std::vector<std::string>{"> USER demo", "< 331 Password"}));

  const LoggedRun& refused = runs[1];
  EXPECT_EQ(refused.origin, "コマンドライン");
  EXPECT_EQ(refused.summary, "接続できませんでした");
  EXPECT_TRUE(refused.failure);
  ASSERT_EQ(refused.lines.size(), 2u);
  EXPECT_EQ(refused.lines[0].text, "接続できませんでした: 応答がありません");
  EXPECT_TRUE(refused.lines[0].failure && !refused.lines[1].failure);

  const LoggedRun& missed = runs[2];
  EXPECT_EQ(missed.origin, "予約");
  EXPECT_EQ(missed.listName, "");
  EXPECT_EQ(missed.summary, "実行されなかった予約 2件");
  EXPECT_TRUE(missed.failure && missed.lines[1].failure);
  EXPECT_EQ(missed.lines[0].text, "実行されず: 2026-12-07 02:30 サイト（理由の文）");
}

TEST(RunLogReader, NewestMonthsFirstUpToTheLimit) {
  test::TempDir dir;
  EXPECT_TRUE(RecentRuns(dir / "log", kRunsShown).empty());
  dir.Write("log/2026-11.log", Record("01:00:00", "nov1", "") + Record("02:00:00", "nov2", ""));
  dir.Write("log/2026-12.log", Record("01:00:00", "dec1", "") + Record("02:00:00", "dec2", ""));
  dir.Write("log/2026-10.txt", Record("01:00:00", "other", ""));
  dir.Write("log/2027-01.log/inside", "not a file");
  ASSERT_TRUE(test::MakeFifo(dir / "log/2027-02.log"));

  std::vector<LoggedRun> runs;
  EXPECT_TRUE(
      test::ReturnsPromptly(dir / "log/2027-02.log", [&] { runs = RecentRuns(dir / "log", 3); }));
  std::vector<std::string> lists;
  for (const LoggedRun& run : runs) lists.push_back(run.listName);
  EXPECT_EQ(lists, (std::vector<std::string>{"dec2", "dec1", "nov2"}));
  EXPECT_EQ(RecentRuns(dir / "log", kRunsShown).size(), 4u);
}

TEST(RunLogReader, DamagedFileShowsWhatCanBeRead) {
  test::TempDir dir;
  std::string manyLines;
  for (int i = 0; i < 5100; ++i) manyLines += "  最新: /s/" + std::to_string(i) + "\n";
  const std::string text =
      // Begins beyond the read limit: only the end of its long line is read.
      Record("01:00:00", "too old", "  最新: /s/" + std::string(kRunLogReadLimit, 'x') + "\n") +
      // A megabyte-long line, and bytes that are not UTF-8.
      Record("02:00:00", "\xff\xfe", "  失敗: /s/" + std::string(1 << 20, 'y') + "（550）\n") +
      // No blank line before the next header.
      "=== 2026-12-07 03:00:00 ボタン\nリスト: endless\n" + manyLines +
      // Cut off in the middle.
      "=== 2026-12-07 04:00:00 予約\nリスト: cut\n  アップロード: /s/a";
  dir.Write("log/2026-12.log", text);

  const std::vector<LoggedRun> runs = RecentRuns(dir / "log", kRunsShown);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].listName, "cut");
  EXPECT_EQ(runs[0].summary, "記録が途中で切れています");
  EXPECT_EQ(runs[0].lines.at(0).text, "アップロード: /s/a");

  EXPECT_EQ(runs[1].listName, "endless");
  ASSERT_EQ(runs[1].lines.size(), 5001u);
  EXPECT_EQ(runs[1].lines.back().text, "（ほか100行は省略）");

  EXPECT_EQ(runs[2].listName, "\xff\xfe");
  ASSERT_EQ(runs[2].lines.size(), 1u);
  EXPECT_LT(runs[2].lines[0].text.size(), 2100u);
  EXPECT_TRUE(runs[2].failure);
}

}  // namespace
}  // namespace tolvane
