// The listing run against the plain per-file run, on randomized server trees and upload lists:
// the same files must arrive with the same bytes, in the same order, and the person must see
// the same status texts, file lines and messages. The listing run over several connections
// against the one over one: the same, except the order in which the puts reach the server.
// Each run gets its own fresh server.
#include <gtest/gtest.h>
#include <algorithm>

#include <ctime>

#include "support/Fakes.h"
#include "transfer/RandomUploads.h"
#include "upload/UploadStarter.h"
#include "window/MainState.h"

namespace tolvane {
namespace {

using test::Scenario;
using test::Texts;

// What a run left behind and showed.
struct Outcome {
  Texts status, fileLines, messages, stored, outcomes;
  std::map<std::string, std::string> tree;  // path → bytes, marked when written by the run
  size_t commands = 0, listings = 0;
};

// Both runs start from the same clock reading: the result line names the minute it ended in.
Outcome RunWith(UploadMethod method, const Scenario& s, const test::TempDir& app, int64_t now,
                int connections = 1) {
  test::FtpServer server(s.server);
  test::FillServer(server, s);
  AppSettings settings = test::SettingsIn(app);
  test::UseServer(settings, s, server, true);
  settings.connections = connections;
  MainState state;
  state.m_asciiExts = {"html", "txt"};
  test::FakeMainView view;
  view.lists = {"web"};
  view.listSelection = 0;
  test::RecordingPrompts prompts;
  test::RecordingStatus status;
  test::FakeClock clock(now);
  MainContext ctx{settings, state, view, prompts, status, clock};
  FtpOptions options;
  options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 3000;
  std::optional<UploadReport> report = UploadFromButton(ctx, options, method);

  Outcome out{
      status.statusHistory, status.fileHistory, {}, {}, {}, test::Tree(server, s.serverFiles)};
  for (const EntryOutcome& entry : report ? report->outcomes : std::vector<EntryOutcome>{}) {
    out.outcomes.push_back(std::to_string(static_cast<int>(entry.kind)) + " " +
                           std::to_string(static_cast<int>(entry.reason)) + " " + entry.detail);
  }
  for (const test::Shown& shown : prompts.shown) {
    out.messages.push_back(shown.caption + "|" + std::to_string(static_cast<int>(shown.icon)) +
                           "|" + shown.text);
  }
  for (const std::string& c : server.Commands()) {
    ++out.commands;
    if (c.rfind("STOR ", 0) == 0) out.stored.push_back(c);
    if (c.rfind("MLSD", 0) == 0 || c.rfind("LIST", 0) == 0) ++out.listings;
  }
  return out;
}

TEST(UploadMethodsAgree, SameFilesAndTextsOnRandomTreesAndLists) {
  const int64_t now = time(nullptr);
  const int64_t base = (now - 4 * 86400) / 60 * 60;
  size_t plainCommands = 0, listedCommands = 0, listings = 0;
  for (uint32_t seed = 1; seed <= 24; ++seed) {
    Scenario s = test::Generate(seed, base, now);
    test::TempDir site, app;
    test::WriteSite(s, site, app);

    const int64_t runAt = time(nullptr);
    Outcome plain = RunWith(UploadMethod::PerFile, s, app, runAt);
    Outcome listed = RunWith(UploadMethod::Listed, s, app, runAt);
    EXPECT_EQ(listed.tree, plain.tree) << "seed " << seed;
    EXPECT_EQ(listed.stored, plain.stored) << "seed " << seed;
    EXPECT_EQ(listed.status, plain.status) << "seed " << seed;
    EXPECT_EQ(listed.fileLines, plain.fileLines) << "seed " << seed;
    EXPECT_EQ(listed.messages, plain.messages) << "seed " << seed;
    EXPECT_EQ(listed.outcomes, plain.outcomes) << "seed " << seed;

    Outcome parallel = RunWith(UploadMethod::Listed, s, app, runAt, 3);
    EXPECT_EQ(parallel.tree, listed.tree) << "seed " << seed;
    EXPECT_EQ(parallel.status, listed.status) << "seed " << seed;
    EXPECT_EQ(parallel.fileLines, listed.fileLines) << "seed " << seed;
    EXPECT_EQ(parallel.messages, listed.messages) << "seed " << seed;
    EXPECT_EQ(parallel.outcomes, listed.outcomes) << "seed " << seed;
    std::sort(parallel.stored.begin(), parallel.stored.end());
    std::sort(listed.stored.begin(), listed.stored.end());
    EXPECT_EQ(parallel.stored, listed.stored) << "seed " << seed;
    plainCommands += plain.commands;
    listedCommands += listed.commands;
    listings += listed.listings;
  }
  // The comparison only means something if the listing run really took its own way.
  EXPECT_GT(listings, 10u);
  EXPECT_LT(listedCommands * 3, plainCommands * 2);
}

}  // namespace
}  // namespace tolvane
