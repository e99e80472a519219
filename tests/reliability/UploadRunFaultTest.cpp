// The upload run against servers that misbehave on purpose. Whatever the server does, the run
// must end within its bounds (1 s to connect, 1 s per reply, 1 s without data progress here),
// say what went wrong in one clear message, carry on with the next entry where the session
// survived, and leave the window ready: button enabled, not busy, idle text shown.
// Every case ends within a few times those bounds.
#include <algorithm>

#include "reliability/ScriptedRunFixture.h"
#include "upload/FailureTexts.h"

namespace tolvane::test {
namespace {

using UploadRunFaultTest = ScriptedRunFixture;

struct Fault {
  Texts rules;
  std::string message;  // empty: the server's megabyte reply line, cut short
};

// Exactly one message: the fault's own, or the start of the server's huge `code` line.
void ExpectOnlyMessage(const Texts& shown, const Fault& fault, const std::string& code) {
  ASSERT_EQ(shown.size(), 1u);
  if (fault.message.empty()) {
    EXPECT_EQ(shown[0].rfind(code + " xxxx", 0), 0u);
    EXPECT_LE(shown[0].size(), 1024u);
  } else {
    EXPECT_EQ(shown[0], fault.message);
  }
}

TEST_F(UploadRunFaultTest, LoginFaultsEndTheRunBeforeAnyEntry) {
  const Fault faults[] = {
      {{"PASS=drop"}, kFtpConnectionLost},
      {{"USER=stall"}, kFtpReplyTimeout},
      {{"BANNER=stall"}, kFtpReplyTimeout},  // a server that never says a word
      {{"BANNER=reply:\\x00\\xff\\xfe\\x01garbage"}, kFtpProtocolError},
      {{"PASS=huge:530"}, ""},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.rules[0]);
    Serve(f.rules);
    ListThree();
    EXPECT_LT(Run(), 3000);
    ExpectOnlyMessage(Messages(), f, "530");
    EXPECT_EQ(status.statusHistory,
              (Texts{"サーバーに接続しています...", "TIMER OFF　12：00：00"}));
    EXPECT_EQ(server->Count("STOR"), 0);
    ExpectReady();
  }
}

TEST_F(UploadRunFaultTest, FaultsThatEndTheSessionEndTheRunWithOneMessage) {
  const Fault faults[] = {
      {{"CWD=drop"}, kFtpConnectionLost},
      {{"CWD=stall"}, kFtpReplyTimeout},
      {{"CWD=reply:\\x01\\x02 this is no reply"}, kFtpProtocolError},
      {{"STOR=drop"}, kFtpConnectionLost},
      {{"STOR=stall"}, kFtpReplyTimeout},
      {{"STOR=drop-after-data"}, kFtpConnectionLost},
      {{"STOR=stall-data"}, kFtpDataStalled},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.rules[0]);
    Serve(f.rules);
    // More than the socket buffers hold, so a server that stops reading stops the upload.
    ListThree(std::string(24 << 20, 'a'));
    EXPECT_LT(Run(), 5000);
    EXPECT_EQ(Messages(), Texts{f.message});
    EXPECT_LE(server->Count("STOR"), 1);
    EXPECT_FALSE(server->files().Exists("b.txt"));
    ExpectClosingTexts();
    ExpectReady();
  }
}

// The first passive connection lists the folder (the server's "550" for a.txt needs the
// listing's word); the put's is the second.
TEST_F(UploadRunFaultTest, RefusedOrBotchedPutsAreToldAndTheNextEntriesGoOn) {
  const Fault faults[] = {
      {{"STOR#1=final:452 Insufficient storage space."}, "452 Insufficient storage space."},
      {{"STOR#1=reply:553 Could not create file."}, "553 Could not create file."},
      {{"STOR#1=reply:553 Bad\\x1b[2J name\\x07\\x00 here\\x7f."}, "553 Bad[2J name here."},
      {{"EPSV#2=reply:229 Entering Extended Passive Mode (|||99999|)",
        "PASV#1=reply:227 Entering Passive Mode (1,2,3)"},
       kFtpProtocolError},
      {{"EPSV#2=reply:229 Entering Extended Passive Mode (|||1|)"}, kFtpDataConnectFailed},
      {{"EPSV#2=reply:229 (!!!12345)", "PASV#1=reply:227 =127,0,0,1,0,0"}, kFtpProtocolError},
      {{"STOR#1=huge:552"}, ""},
  };
  for (const Fault& f : faults) {
    SCOPED_TRACE(f.rules[0]);
    Serve(f.rules);
    ListThree();
    EXPECT_LT(Run(), 3000);
    ExpectOnlyMessage(Messages(), f, "552");
    EXPECT_FALSE(server->files().Exists("a.txt"));
    EXPECT_EQ(server->files().Read("b.txt"), "b");
    EXPECT_EQ(server->files().Read("c.txt"), "c");
    ExpectClosingTexts();
    ExpectReady();
  }
}

// A list damaged on disk: entries that name no readable file are skipped one by one, and the
// run still reaches the good entry after them and ends as usual.
TEST_F(UploadRunFaultTest, DamagedListIsWalkedToItsEnd) {
  Serve({});
  site.Write("good.txt", "g");
  std::string junk;
  for (int i = 1; i < 256; ++i) junk += static_cast<char>(i == '\n' ? ' ' : i);
  std::string bytes = junk + "\r\n\r\n" + std::string(1 << 20, 'p') + "\r\n\x81\xFF\r\n";
  bytes += EncodeLines({site / "good.txt", ""}).value();
  app.Write("list/web.ini", bytes);
  view.lists = {"web"};
  view.listSelection = 0;
  EXPECT_LT(Run(), 3000);
  EXPECT_TRUE(prompts.shown.empty());
  EXPECT_EQ(server->files().Read("good.txt"), "g");
  EXPECT_EQ(server->Count("STOR"), 1);
  const Texts& shown = status.statusHistory;
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "1番目 更新確認できませんでした"), 1);
  EXPECT_EQ(std::count(shown.begin(), shown.end(), "2番目 更新確認できませんでした"), 1);
  ExpectClosingTexts();
  ExpectReady();
}

}  // namespace
}  // namespace tolvane::test
