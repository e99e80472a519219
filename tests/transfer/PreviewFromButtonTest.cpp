// Starting a preview from the window: what it shows when there is nothing to preview, and
// the server's own words for a file it would not tell about.
#include <gtest/gtest.h>

#include "support/ScriptedFtpServer.h"
#include "transfer/UploadRunRig.h"
#include "upload/UploadStarter.h"
#include "window/BusyGuard.h"

namespace tolvane {
namespace {

class PreviewFromButtonTest : public ::testing::Test, protected test::UploadListRig {
 protected:
  PreviewFromButtonTest() {
    site.Write("a.txt", "a");
    List({site / "a.txt", ""});
    state.m_lastResult = "1件アップロード（12:00）";
    options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 1000;
  }
  FtpOptions options;
};

TEST_F(PreviewFromButtonTest, ShowsNothingWhenBusyOrTheServerCannotBeReached) {
  state.m_busy = true;
  EXPECT_FALSE(PreviewFromButton(ctx, options));
  ASSERT_EQ(prompts.shown.size(), 1u);
  EXPECT_EQ(prompts.shown[0].text, kBusyMessage);

  state.m_busy = false;
  settings.hostname = "127.0.0.1:1";  // nothing listens there
  EXPECT_FALSE(PreviewFromButton(ctx, options));
  ASSERT_EQ(prompts.shown.size(), 2u);
  EXPECT_EQ(prompts.shown[1].caption, "tolvane");
  EXPECT_FALSE(state.m_busy);
  EXPECT_EQ(view.uploadEnabledHistory, (std::vector<bool>{false, true}));
  EXPECT_EQ(status.fileLine, state.m_lastResult);  // the last real run's result stays
  EXPECT_FALSE(app.Exists("log"));
}

TEST_F(PreviewFromButtonTest, GivesTheServersReasonForAFileItWouldNotTellAbout) {
  test::ScriptedFtpServer server(
      {"MLST=reply:550 No access.", "MLSD=reply:550 Not allowed.", "LIST=reply:550 Not allowed."});
  settings.hostname = server.hostField();
  settings.username = "tolvane";
  settings.password = "secret";
  std::optional<UploadPreview> preview = PreviewFromButton(ctx, options);
  ASSERT_TRUE(preview);
  ASSERT_EQ(preview->report.outcomes.size(), 1u);
  EXPECT_EQ(preview->report.outcomes[0].kind, EntryOutcome::Kind::Unchecked);
  EXPECT_EQ(preview->report.outcomes[0].detail, "550 Not allowed.");
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_TRUE(clock.sleeps.empty());  // a preview holds no step up for reading
}

}  // namespace
}  // namespace tolvane
