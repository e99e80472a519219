// A scheduled run that fails must not cost the rest of its minute: no box waits for an OK,
// the other entries of the minute still run, the fired one-shot is still purged from
// timer.ini, and the power-off asked for still comes. The tick drives real upload runs against a scripted server.
#include <algorithm>
#include <chrono>

#include "reliability/ScriptedRunFixture.h"
#include "schedule/TickerFixture.h"

namespace tolvane::test {
namespace {

class ScheduledRunFaultTest : public TickerFixture,
                              public ::testing::WithParamInterface<const char*> {
 protected:
  ScheduledRunFaultTest() {
    state.m_clockText.clear();
    duringRun = [this](const TimerEntry& entry) { UploadFromSchedule(ctx, entry, ShortBounds()); };
  }

  void ListOne(const std::string& list, const std::string& file) {
    site.Write(file, file);
    dir.Write("list/" + list + ".ini", EncodeLines({site / file, ""}).value());
  }

  TempDir site;
};

TEST_P(ScheduledRunFaultTest, FailedRunLeavesTheMinutesOtherWorkDone) {
  // The first session of the server fails; the second one works.
  ScriptedFtpServer server({GetParam()});
  settings.hostname = server.hostField();
  settings.username = "tolvane";
  settings.password = "secret";
  ListOne("night", "a.txt");
  ListOne("web", "b.txt");
  dir.Write("timer.ini", "11202603150930\r\nnight\r\n200930\r\nweb\r\n201000\r\nlater\r\n");
  At(9, 29, 59);
  StartUp(1);

  auto start = std::chrono::steady_clock::now();
  TickFor(2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  EXPECT_EQ(runs, (Texts{"night", "web"}));
  // The failure is told in a box that does not wait for its OK, and it is logged.
  EXPECT_TRUE(prompts.shown.empty());
  ASSERT_EQ(prompts.notices.size(), 1u);
  EXPECT_EQ(prompts.notices[0].caption, "tolvane");
  EXPECT_NE(dir.Read("log/2026-03.log").find("メッセージ: " + prompts.notices[0].text),
            std::string::npos);
  EXPECT_FALSE(server.files().Exists("a.txt"));
  EXPECT_EQ(server.files().Read("b.txt"), "b.txt");
  EXPECT_EQ(dir.Read("timer.ini"), "200930\r\nweb\r\n201000\r\nlater\r\n");
  EXPECT_EQ(shutdown.calls, 1);
  // After both runs; the clock comes back on the next second, as the machine did not go off.
  const Texts& shown = status.statusHistory;
  auto off = std::find(shown.begin(), shown.end(), "Windowsを終了しています...");
  ASSERT_NE(off, shown.end());
  EXPECT_EQ(std::count(off, shown.end(), "完了しました"), 0);
  EXPECT_FALSE(state.m_busy);
  EXPECT_TRUE(view.uploadEnabled);
}

INSTANTIATE_TEST_SUITE_P(Faults, ScheduledRunFaultTest,
                         ::testing::Values("PASS#1=drop", "USER#1=stall",
                                           "BANNER#1=reply:\\x00junk",
                                           "STOR#1=final:452 Disk full.",
                                           "STOR#1=drop-after-data"));

}  // namespace
}  // namespace tolvane::test
