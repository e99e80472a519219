// The words of a preview: where each file goes, what the run would do with it and why.
#include <gtest/gtest.h>

#include "schedule/LocalClock.h"
#include "upload/PreviewText.h"

namespace tolvane {
namespace {

using Kind = EntryOutcome::Kind;
using Reason = EntryOutcome::Reason;

EntryOutcome Outcome(Kind kind, Reason reason = Reason::None) {
  EntryOutcome outcome;
  outcome.kind = kind;
  outcome.reason = reason;
  return outcome;
}

TEST(PreviewText, SaysWhereEachFileGoesWhatTheRunWouldDoAndWhy) {
  test::ScopedTimeZone tokyo("Asia/Tokyo");
  UploadPreview p;
  p.request.listName = "web";
  p.request.mode = UploadMode::NewerOrSame;
  p.host = "ftp.example.jp";
  p.serverFolder = "www";
  p.clockCorrectionMinutes = 3;
  p.request.entries = {{"/site/index.html", "sub"}, {"/site/index.html", "sub"},
                       {"/site/logo.png", "/img"},  {"/site/gone.css", ""},
                       {"/site/a.txt", "../x"},     {"/site/b.txt", ""}};
  EntryOutcome compared = Outcome(Kind::WouldUpload, Reason::Compared);
  compared.localTime = test::LocalSeconds(2026, 12, 7, 14, 5, 59);
  compared.serverTime = test::LocalSeconds(2026, 12, 7, 13, 0);
  EntryOutcome putBefore = compared;
  putBefore.kind = Kind::UpToDate;
  putBefore.serverTime = test::LocalSeconds(2026, 12, 7, 19, 30);
  putBefore.serverCopyFromEarlierEntry = true;
  EntryOutcome refused = Outcome(Kind::Unchecked);
  refused.detail = "550 No access.";
  p.report.outcomes = {compared,
                       putBefore,
                       Outcome(Kind::WouldUpload, Reason::NotOnServer),
                       Outcome(Kind::LocalMissing),
                       refused,
                       Outcome(Kind::NotReached)};

  EXPECT_EQ(PreviewTitle(p), "プレビュー − web");
  EXPECT_EQ(PreviewHeading(p),
            "リスト: web　モード: 同じ時刻のファイルも　サーバー: ftp.example.jp");
  std::vector<PreviewRow> rows = PreviewRows(p);
  ASSERT_EQ(rows.size(), 6u);
  std::vector<std::string> seen;
  for (const PreviewRow& r : rows) seen.push_back(r.file + "|" + r.folder + "|" + r.action);
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "index.html|/www/sub|アップロードする", "index.html|/www/sub|最新",
                      "logo.png|/img|アップロードする", "gone.css|/www|ローカルファイルなし",
                      "a.txt|/www/../x|確認できず", "b.txt|/www|未確認"}));
  EXPECT_EQ(rows[0].reason, "ローカル 2026-12-07 14:05 ／ サーバー 2026-12-07 13:00（補正後）");
  EXPECT_EQ(rows[1].reason,
            "ローカル 2026-12-07 14:05 ／ サーバー 2026-12-07 19:30"
            "（補正後・前の項目でアップロード後）");
  EXPECT_EQ(rows[2].reason, "サーバーにありません");
  EXPECT_EQ(rows[3].reason, "/site/gone.css が見つかりません");
  EXPECT_EQ(rows[4].reason, "550 No access.");
  EXPECT_EQ(rows[0].look, PreviewRow::Look::Upload);
  EXPECT_EQ(rows[1].look, PreviewRow::Look::Plain);
  EXPECT_EQ(rows[3].look, PreviewRow::Look::Warning);
  EXPECT_EQ(rows[4].look, PreviewRow::Look::Warning);

  EXPECT_EQ(PreviewSummary(p.report),
            "2件アップロードします・1件は最新です・1件はローカルファイルがありません・"
            "1件は確認できませんでした・1件は未確認です");
  p.report.outcomes = {Outcome(Kind::UpToDate), Outcome(Kind::UpToDate)};
  EXPECT_EQ(PreviewSummary(p.report), "アップロードするファイルはありません・2件は最新です");
}

}  // namespace
}  // namespace tolvane
