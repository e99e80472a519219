// A run over several connections: the window keeps being pumped while the other connections
// work, and a server that lets fewer connections in still gets every file.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <ctime>

#include "transfer/FtpTestSupport.h"
#include "transfer/UploadRunRig.h"

namespace tolvane {
namespace {

class ParallelRunTest : public ::testing::Test, protected test::UploadRunRig {
 protected:
  // `count` files newer here than on the server, in three folders in turn.
  void NewerFiles(int count) {
    const int64_t now = time(nullptr);
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
      const std::string folder = "d" + std::to_string(i % 3);
      const std::string name = folder + "/f" + std::to_string(i) + ".txt";
      site.Write(name, "local " + name);
      test::SetFileTime(site / name, now - 60);
      server->files().Write(name, "server");
      server->SetMtime(name, now - 3600);
      lines.insert(lines.end(), {site / name, folder});
    }
    List(lines);
  }
  int Arrived(int count) const {
    int arrived = 0;
    for (int i = 0; i < count; ++i) {
      const std::string name = "d" + std::to_string(i % 3) + "/f" + std::to_string(i) + ".txt";
      arrived += server->files().Read(name) == "local " + name;
    }
    return arrived;
  }
};

TEST_F(ParallelRunTest, ThePumpKeepsGoingWhileOtherConnectionsWork) {
  Serve({.delayMs = 20});
  NewerFiles(24);
  settings.connections = 4;
  using Steady = std::chrono::steady_clock;
  Steady::time_point last = Steady::now();
  Steady::duration longest{};
  FtpOptions options = test::QuickOptions();
  options.pump = [&] {
    longest = std::max(longest, Steady::now() - last);
    last = Steady::now();
  };
  UploadFromButton(ctx, options);
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(Arrived(24), 24);
  // The longest stretch is one reply on the run's own connection, not a put elsewhere.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(longest).count(), 150);
}

TEST_F(ParallelRunTest, MoreConnectionsThanTheServerTakesStillPutEveryFile) {
  Serve({.maxConnections = 2});
  NewerFiles(12);
  settings.connections = 8;
  UploadFromButton(ctx, test::QuickOptions());
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(Arrived(12), 12);
}

}  // namespace
}  // namespace tolvane
