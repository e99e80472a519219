// The line that says what the last run did, and the notice a hidden window gives of it.
#include <gtest/gtest.h>

#include "schedule/LocalClock.h"
#include "support/FakeTrayIcon.h"
#include "upload/ResultLine.h"
#include "window/TrayController.h"

namespace tolvane::test {
namespace {

TEST(ResultLine, CountsWhatWentUpAndWhatWentWrongWithTheTime) {
  ScopedTimeZone tz{"JST-9"};
  using Kind = EntryOutcome::Kind;
  UploadReport report;
  report.connected = true;
  report.endedAt = LocalSeconds(2026, 12, 7, 14, 5, 30);
  for (Kind kind : {Kind::Uploaded, Kind::Uploaded, Kind::UpToDate, Kind::Failed}) {
    report.outcomes.emplace_back().kind = kind;
  }
  EXPECT_EQ(ResultLine(report), "2件アップロード・1件失敗（14:05）");
  report.outcomes.clear();
  for (Kind kind : {Kind::UpToDate, Kind::Unchecked, Kind::LocalMissing}) {
    report.outcomes.emplace_back().kind = kind;
  }
  EXPECT_EQ(ResultLine(report), "0件アップロード・1件確認できず・1件ファイルなし（14:05）");
  report.connected = false;
  EXPECT_EQ(ResultLine(report), "接続できませんでした（14:05）");
}

struct NoWindow : TrayWindow {
  void HideWindow() override {}
  void ShowWindowNormal() override {}
  void ShowWindowMinimised() override {}
  void CentreOnWorkArea() override {}
};

TEST(ResultLine, IsToldBesideTheIconOnlyWhileTheWindowIsInTheTray) {
  AppSettings settings;
  MainState state;
  FakeTrayIcon icon;
  NoWindow window;
  TrayController tray(settings, state, icon, window);
  tray.NotifyWhileHidden("1件アップロード（03:00）");
  state.m_inTray = true;
  tray.NotifyWhileHidden("2件アップロード（04:00）");
  EXPECT_EQ(icon.notices, std::vector<std::string>{"トルヴェイン: 2件アップロード（04:00）"});
}

}  // namespace
}  // namespace tolvane::test
