#pragma once
// The upload run as the main window starts it, with recording seams, against a scripted FTP
// server that misbehaves where a test says. Bounds are short here: 1 s to connect, 1 s per
// reply and 1 s without data progress.
#include <gtest/gtest.h>

#include <memory>

#include "Seams.h"
#include "support/ScriptedFtpServer.h"
#include "transfer/FtpTestSupport.h"
#include "transfer/UploadRunRig.h"
#include "upload/UploadStarter.h"

namespace tolvane::test {

using Texts = std::vector<std::string>;

inline FtpOptions ShortBounds() {
  FtpOptions options;
  options.connectTimeoutMs = options.replyTimeoutMs = options.dataStallTimeoutMs = 1000;
  return options;
}

class ScriptedRunFixture : public ::testing::Test, protected UploadListRig {
 protected:
  ScriptedRunFixture() { state.m_clockText = "12：00：00"; }

  void Serve(Texts rules) {
    server = std::make_unique<ScriptedFtpServer>(std::move(rules));
    settings.hostname = server->hostField();
    settings.username = "tolvane";
    settings.password = "secret";
    // The scripts count commands per connection: the run keeps to one.
    settings.connections = 1;
    prompts.shown.clear();
  }

  // a.txt, b.txt and c.txt listed for the server's root.
  void ListThree(const std::string& firstBytes = "a") {
    Texts lines;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
      site.Write(name, name[0] == 'a' ? firstBytes : std::string(1, name[0]));
      lines.insert(lines.end(), {site / name, ""});
    }
    List(lines);
  }

  // Runs the upload; the wall-clock milliseconds it took.
  int64_t Run() {
    status.statusHistory.clear();
    return MillisecondsOf([this] { UploadFromButton(ctx, ShortBounds()); });
  }

  // The texts of the FTP failures shown (each with the program's file name and the stop icon).
  Texts Messages() const {
    Texts texts;
    for (const Shown& s : prompts.shown) {
      EXPECT_EQ(s.caption, "tolvane");
      EXPECT_EQ(s.icon, Icon::Stop);
      texts.push_back(s.text);
    }
    return texts;
  }

  void ExpectReady() const {
    EXPECT_FALSE(state.m_busy);
    EXPECT_TRUE(view.uploadEnabled);
    ASSERT_FALSE(status.statusHistory.empty());
    EXPECT_EQ(status.statusHistory.back(), "TIMER OFF　12：00：00");
  }

  // The run went through its closing steps after the session ended.
  void ExpectClosingTexts() const {
    ASSERT_GE(status.statusHistory.size(), 3u);
    Texts last(status.statusHistory.end() - 3, status.statusHistory.end());
    EXPECT_EQ(last, (Texts{"切断しています...", "完了しました", "TIMER OFF　12：00：00"}));
  }

  std::unique_ptr<ScriptedFtpServer> server;
};

}  // namespace tolvane::test
