// The preview against the run that follows it on the same server, on the randomized trees and
// lists the two upload methods are compared on: the preview leaves the server as it was and
// writes no log, and the run then does for each entry what the preview said it would.
#include <gtest/gtest.h>

#include <ctime>

#include "transfer/RandomUploads.h"
#include "transfer/UploadRunRig.h"
#include "upload/UploadStarter.h"

namespace tolvane {
namespace {

using Kind = EntryOutcome::Kind;

// Each entry's outcome and what it rested on, a preview's put read as the run's upload.
std::vector<std::string> Decisions(const UploadReport& report) {
  static const char* const kKinds[] = {"not reached", "uploaded", "up to date", "local missing",
                                       "unchecked",   "failed",   "uploaded"};
  static const char* const kReasons[] = {"", "compared", "not on server", "unchecked mode"};
  std::vector<std::string> decisions;
  for (const EntryOutcome& o : report.outcomes) {
    decisions.push_back(std::to_string(decisions.size() + 1) + " " +
                        kKinds[static_cast<int>(o.kind)] + " " +
                        kReasons[static_cast<int>(o.reason)]);
  }
  return decisions;
}

bool ChangesTheServer(const std::string& command) {
  for (const char* verb : {"STOR", "STOU", "APPE", "RNFR", "RNTO", "DELE", "MKD", "RMD", "SITE"}) {
    if (command.rfind(verb, 0) == 0) return true;
  }
  return false;
}

TEST(PreviewAgrees, WithTheRunThatFollowsOnRandomTreesAndLists) {
  const int64_t now = time(nullptr);
  const int64_t base = (now - 4 * 86400) / 60 * 60;
  int putsSeenAgain = 0, uploads = 0;
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    test::Scenario s = test::Generate(seed, base, now);
    test::UploadRunRig rig;
    test::FtpServer server(s.server);
    test::FillServer(server, s);
    test::WriteSite(s, rig.site, rig.app);
    rig.view.lists = {"web"};
    rig.view.listSelection = 0;
    rig.state.m_asciiExts = {"html", "txt"};
    // One connection, as the comparison of runs over several connections is made elsewhere
    // (UploadMethodsAgree) and here a put that runs late on a loaded machine would only blur
    // what is compared: the decisions.
    rig.settings.connections = 1;
    FtpOptions options;
    options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 3000;
    const auto before = test::Tree(server, s.serverFiles);

    // A read-only account is enough to look; either way of finding files will do.
    test::UseServer(rig.settings, s, server, true);
    std::optional<UploadPreview> preview = PreviewFromButton(
        rig.ctx, options, seed % 2 ? UploadMethod::PerFile : UploadMethod::Listed);
    ASSERT_TRUE(preview) << "seed " << seed;
    EXPECT_EQ(test::Tree(server, s.serverFiles), before) << "seed " << seed;
    for (const std::string& command : server.Commands()) {
      EXPECT_FALSE(ChangesTheServer(command)) << "seed " << seed << ": " << command;
    }
    EXPECT_FALSE(rig.app.Exists("log")) << "seed " << seed;

    test::UseServer(rig.settings, s, server, false);
    std::optional<UploadReport> run = UploadFromButton(rig.ctx, options);
    ASSERT_TRUE(run) << "seed " << seed;
    EXPECT_EQ(Decisions(preview->report), Decisions(*run)) << "seed " << seed;
    for (const EntryOutcome& o : preview->report.outcomes) {
      putsSeenAgain += o.serverCopyFromEarlierEntry;
      uploads += o.kind == Kind::WouldUpload;
    }
  }
  // Only worth something if entries often met a file an earlier one put.
  EXPECT_GT(putsSeenAgain, 100);
  EXPECT_GT(uploads, 100);
}

}  // namespace
}  // namespace tolvane
