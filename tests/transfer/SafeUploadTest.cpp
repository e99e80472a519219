// What reaches the server when a put cannot finish cleanly: the real name only ever holds a
// whole file, a broken-off or botched transfer leaves nothing to trust, and temporary files
// never pile up.
#include <algorithm>

#include "reliability/ScriptedRunFixture.h"
#include "upload/FailureTexts.h"
#include "upload/SafeUploader.h"

namespace tolvane::test {
namespace {

using SafeUploadTest = ScriptedRunFixture;

constexpr const char* kLeftover = ".tolvane-0123456789abcdef.part";

bool AnyStarts(const Texts& lines, const std::string& prefix) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

TEST(SafeUploadRealServer, RenamesIntoPlaceAndSweepsWhatAKilledRunLeft) {
  for (bool temporaryName : {true, false}) {
    UploadRunRig rig;
    rig.Serve();
    rig.settings.temporaryNames = temporaryName;
    rig.server->files().Write("index.html", "old");
    rig.server->SetMtime("index.html", time(nullptr) - 7200);
    rig.server->files().Write(kLeftover, "half a page");
    rig.site.Write("index.html", "new");
    rig.site.Write("logo.png", "png");
    rig.List({rig.site / "index.html", "", rig.site / "logo.png", ""});
    UploadFromButton(rig.ctx, QuickOptions());
    EXPECT_TRUE(rig.prompts.shown.empty());
    EXPECT_EQ(rig.server->files().Read("index.html"), "new");
    EXPECT_EQ(rig.server->files().Read("logo.png"), "png");
    Texts commands = rig.server->Commands();
    EXPECT_EQ(AnyStarts(commands, "STOR index.html"), !temporaryName);
    EXPECT_EQ(AnyStarts(commands, "RNTO index.html"), temporaryName);
    EXPECT_EQ(rig.server->files().Exists(kLeftover), !temporaryName);
  }
}

TEST_F(SafeUploadTest, WithoutRenamingPutsDirectlyAndAskedOnce) {
  Serve({"RNFR=reply:502 Command not implemented."});
  ListThree();
  Run();
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(server->Count("RNFR"), 1);
  EXPECT_EQ(server->Count("STOR"), 4);  // the first went to the temporary name
  EXPECT_EQ(server->files().Read("a.txt"), "a");
  EXPECT_EQ(server->files().Read("c.txt"), "c");
  EXPECT_EQ(server->Count("DELE"), 1);
}

TEST_F(SafeUploadTest, ABotchedPutLeavesNoFileBehind) {
  const std::pair<Texts, std::string> faults[] = {
      {{"SIZE#1=reply:213 1"}, kSizeMismatch},
      {{"STOR=touch:" + (site / "a.txt")}, kChangedDuringUpload},
  };
  for (const auto& [rules, message] : faults) {
    SCOPED_TRACE(rules[0]);
    Serve(rules);
    ListThree(std::string(1000, 'a'));
    Run();
    EXPECT_EQ(Messages(), Texts{message});
    EXPECT_FALSE(server->files().Exists("a.txt"));
    EXPECT_EQ(server->files().Read("b.txt"), "b");
    ExpectReady();
  }
  // A file edited once while sent is sent again, whole.
  Serve({"STOR#1=touch:" + (site / "a.txt")});
  ListThree("x");
  Run();
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(server->files().Read("a.txt"), "x+");
}

TEST_F(SafeUploadTest, EndingTheProgramBreaksTheTransferOffAndDeletesThePart) {
  for (bool temporaryName : {true, false}) {
    SCOPED_TRACE(temporaryName);
    settings.temporaryNames = temporaryName;
    Serve({"STOR=slow-data"});
    ListThree(std::string(4 << 20, 'a'));
    FtpOptions options = ShortBounds();
    // The end is asked for once the first part has reached the server.
    const std::string part = temporaryName ? SafeUploader::TemporaryNameFor("a.txt") : "a.txt";
    options.pump = [&] {
      state.m_terminating = state.m_terminating || server->files().Exists(part);
    };
    int64_t ms = MillisecondsOf([&] { UploadFromButton(ctx, options); });
    EXPECT_LT(ms, 3000);
    EXPECT_TRUE(prompts.shown.empty());  // nothing may hold up the end
    EXPECT_EQ(server->Count("STOR"), 1);
    EXPECT_EQ(server->Count("DELE"), 1);
    EXPECT_EQ(server->files().Exists("a.txt"), false);
    state.m_terminating = false;
  }
}

TEST_F(SafeUploadTest, ATricklingListingEndsTheLookUpNotTheRun) {
  Serve({"MLSD=trickle", "LIST=trickle"});
  site.Write("a.txt", "a");
  List({site / "a.txt", ""});
  FtpOptions options = ShortBounds();
  options.listingTimeoutMs = 1200;
  int64_t ms = MillisecondsOf([&] { UploadFromButton(ctx, options); });
  EXPECT_LT(ms, 5000);
  // The server's 550 could not be checked against a listing: nothing is put.
  EXPECT_EQ(server->Count("STOR"), 0);
  EXPECT_NE(std::find(status.statusHistory.begin(), status.statusHistory.end(),
                      "1番目 更新確認できませんでした"),
            status.statusHistory.end());
}

TEST(SafeUploader, TemporaryNamesAreHiddenRecognisableAndNeverAListedName) {
  std::string name = SafeUploader::TemporaryNameFor("index.html");
  EXPECT_EQ(name.rfind(".tolvane-", 0), 0u);
  EXPECT_TRUE(SafeUploader::IsTemporaryName(name));
  EXPECT_TRUE(SafeUploader::IsTemporaryName(kLeftover));
  EXPECT_FALSE(SafeUploader::IsTemporaryName(".tolvane-0123456789abcdeg.part"));
  EXPECT_FALSE(SafeUploader::IsTemporaryName(".tolvane-.part"));
  EXPECT_NE(SafeUploader::TemporaryNameFor("index.html", 1), name);
}

}  // namespace
}  // namespace tolvane::test
