// The timer list dialog's working copy: what it loads, and the file and day selection after OK.
#include "schedule/TimerFile.h"
#include "schedule/TimerListForm.h"

#include <cstdio>

#include "platform/Cp932.h"
#include "schedule/TickerFixture.h"
#include "schedule/TimerSettingsCommand.h"
#include "window/BusyGuard.h"

namespace tolvane::test {
namespace {

class TimerListFormTest : public TickerFixture {
 protected:
  TimerListFormTest() { At(12, 0); }
  // timer.ini from UTF-8 lines, in code page 932 with CR LF.
  void File(const std::vector<std::string>& lines) { dir.Write("timer.ini", Bytes(lines)); }
  static std::string Bytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += ToCp932(line).value() + "\r\n";
    return bytes;
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < model.RowCount(); ++i) rows.push_back(model.RowText(i));
    return rows;
  }

  TimerListForm model{settings, prompts};
};

TEST_F(TimerListFormTest, LoadsKnownKindsOnlyAndOkDropsTheRest) {
  File({"210805", "ウェブ", "9123", "old", "", "empty", "5145", "log", "odd"});
  model.Load();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"毎日08時05分-OFF-ウェブ", "毎時間45分-OFF-log"}));
  EXPECT_EQ(model.Entry(1).code, "5145");
  EXPECT_TRUE(model.Save(ticker));
  EXPECT_EQ(dir.Read("timer.ini"), Bytes({"210805", "ウェブ", "5145", "log"}));
  EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(TimerListFormTest, MissingFileIsEmptyAndOkStillWritesIt) {
  model.Load();
  EXPECT_EQ(model.RowCount(), 0);
  EXPECT_TRUE(model.Save(ticker));
  EXPECT_TRUE(dir.Exists("timer.ini"));
  EXPECT_EQ(dir.Read("timer.ini"), "");
}

TEST_F(TimerListFormTest, EditReplacesTheVeryRowAndOkRebuildsTheDaySelection) {
  File({"200900", "a", "5010", "b", "3001000", "c"});  // 2026-03-15 is a Sunday
  model.Load();
  model.Replace(1, {"40151230", "新"}, "毎月15日12時30分-新");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"毎日09時00分-a", "毎月15日12時30分-新",
                                              "毎週日曜日10時00分-c"}));
  EXPECT_TRUE(state.m_todayEntries.empty());
  EXPECT_TRUE(model.Save(ticker));
  const std::vector<std::string> lines = {"200900", "a", "40151230", "新", "3001000", "c"};
  EXPECT_EQ(model.Entries(), PairEntries(lines));
  EXPECT_EQ(dir.Read("timer.ini"), Bytes(lines));
  EXPECT_EQ(state.m_todayEntries, PairEntries(lines));
}

TEST_F(TimerListFormTest, OkNeitherPurgesNorDropsAnExpiredOneShot) {
  File({"10202601010000", "a"});
  model.Load();
  model.Add({"200900", "b"}, "毎日09時00分-b");
  EXPECT_TRUE(model.Save(ticker));
  EXPECT_EQ(dir.Read("timer.ini"), Bytes({"10202601010000", "a", "200900", "b"}));
  EXPECT_EQ(state.m_todayEntries, PairEntries({"200900", "b"}));
}

TEST_F(TimerListFormTest, DeleteNeedsASelectionAndTheLastOneLeavesAnEmptyFile) {
  File({"200900", "a"});
  model.Load();
  EXPECT_FALSE(model.RequireSelection(-1));
  EXPECT_FALSE(model.Delete(-1));
  EXPECT_FALSE(model.Delete(1));
  ASSERT_EQ(prompts.shown.size(), 3u);
  for (const Shown& shown : prompts.shown) {
    EXPECT_EQ(shown.text, "タイマー設定が選択されていません");
    EXPECT_EQ(shown.caption, "エラー");
    EXPECT_EQ(shown.icon, Icon::Warning);
  }
  EXPECT_TRUE(model.Delete(0));
  EXPECT_EQ(model.RowCount(), 0);
  EXPECT_EQ(dir.Read("timer.ini"), Bytes({"200900", "a"}));  // nothing written before OK
  EXPECT_TRUE(model.Save(ticker));
  EXPECT_EQ(dir.Read("timer.ini"), "");
}

TEST_F(TimerListFormTest, FailedWriteIsReportedAndClosesWithoutRebuilding) {
  File({"200900", "a"});
  model.Load();
  ticker.RebuildDaySelection();
  // A folder where the file should be makes every write fail (even for root).
  ASSERT_EQ(std::remove((dir / "timer.ini").c_str()), 0);
  dir.Write("timer.ini/x", "");
  model.Add({"5030", "b"}, "毎時間30分-b");
  EXPECT_TRUE(model.Save(ticker));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "タイマー設定ファイルの更新ができませんでした");
  EXPECT_EQ(prompts.shown[0].caption, "エラー");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Warning);
  EXPECT_EQ(state.m_todayEntries, PairEntries({"200900", "a"}));
}

TEST_F(TimerListFormTest, ListNameOutsideCodePage932IsRefusedAndKeepsTheDialogOpen) {
  File({"200900", "a"});
  model.Load();
  model.Add({"5030", "café"}, "毎時間30分-café");
  EXPECT_FALSE(model.Save(ticker));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text,
            "タイマー設定ファイルに保存できない文字を含むリスト名があります");
  EXPECT_EQ(dir.Read("timer.ini"), Bytes({"200900", "a"}));
}

TEST_F(TimerListFormTest, MenuCommandNeedsAListAndNoRunInProgress) {
  int opened = 0;
  auto open = [&] { ++opened; };
  TimerSettingsCommand(ctx, open);
  EXPECT_EQ(opened, 0);
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, "リストが無いので設定できません");
  EXPECT_EQ(prompts.shown[0].caption, "エラー");
  EXPECT_EQ(prompts.shown[0].icon, Icon::Warning);

  view.lists = {"web"};
  state.m_busy = true;
  TimerSettingsCommand(ctx, open);
  EXPECT_EQ(opened, 0);
  EXPECT_EQ(prompts.shown.back().text, kBusyMessage);
  state.m_busy = false;
  TimerSettingsCommand(ctx, open);
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(prompts.shown.size(), 2u);
}

}  // namespace
}  // namespace tolvane::test
