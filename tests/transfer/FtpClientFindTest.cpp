#include <algorithm>
#include <ctime>

#include "ftp/FtpTimes.h"
#include "transfer/FtpTestSupport.h"

namespace tolvane::test {
namespace {

constexpr int64_t kMarch2024 = 1709633730;  // 2024-03-05 10:15:30 UTC

size_t CountOf(const FtpServer& server, const std::string& prefix) {
  std::vector<std::string> commands = server.Commands();
  return static_cast<size_t>(std::count_if(commands.begin(), commands.end(),
                                           [&](auto& c) { return c.rfind(prefix, 0) == 0; }));
}

// A server holding "page.html" last written at kMarch2024 and a folder "sub".
void AddFiles(const FtpServer& server) {
  server.files().Write("page.html", "p");
  server.SetMtime("page.html", kMarch2024);
  server.files().Write("sub/inner.txt", "i");
}

TEST(FtpClientFind, ReportsUtcTimesWithMlstOrMdtm) {
  for (bool noMlst : {false, true}) {
    FtpServer server({.noMlst = noMlst});
    AddFiles(server);
    FtpClient client(QuickOptions());
    ConnectOrFail(client, server);
    EXPECT_EQ(client.LookUp("page.html"), RemoteLookup::Found(kMarch2024, TimeBasis::Utc));
    EXPECT_EQ(client.FindFile("page.html"), kMarch2024) << noMlst;
    EXPECT_EQ(client.FindFile("missing.html"), std::nullopt);
    EXPECT_EQ(client.FindFile("sub"), std::nullopt);  // a folder is no file
    // MLST asked when the server has it; MDTM only when it has not (the FEAT list said so).
    EXPECT_EQ(CountOf(server, "MLST"), noMlst ? 0u : 4u);
    EXPECT_EQ(CountOf(server, "MDTM"), noMlst ? 4u : 0u);
  }
}

TEST(FtpClientFind, ReadsTheListingWhenTheServerHasNeitherMlstNorMdtm) {
  FtpServer server({.noMlst = true, .noMdtm = true});
  AddFiles(server);
  // A recent file is listed without its year, to the minute.
  int64_t recent = (static_cast<int64_t>(std::time(nullptr)) - 10 * 86400) / 60 * 60;
  server.files().Write("recent file.txt", "r");
  server.SetMtime("recent file.txt", recent + 59);
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  // The server lists in UTC: the wall clock read as UTC is the instant itself.
  EXPECT_EQ(client.LookUp("page.html"),  // "Mar 05  2024"
            RemoteLookup::Found(UtcSeconds(2024, 3, 5, 0, 0, 0), TimeBasis::ListedWallClock));
  EXPECT_EQ(client.LookUp("recent file.txt"),  // its year a guess
            RemoteLookup::Found(recent, TimeBasis::ListedWallClock, false));
  EXPECT_EQ(client.FindFile("page"), std::nullopt);  // exact names only
  EXPECT_EQ(client.FindFile("PAGE.HTML"), std::nullopt);
  EXPECT_EQ(client.FindFile("sub"), std::nullopt);
  EXPECT_EQ(CountOf(server, "MDTM"), 1u);  // learnt once that the server lacks it
  EXPECT_EQ(CountOf(server, "LIST"), 5u);
}

TEST(FtpClientFind, ReadsAJapaneseListingInCodePage932) {
  FtpServer server({.noMlst = true, .noMdtm = true, .noUtf8 = true});
  server.files().Write("日本語 ①.html", "j");
  server.SetMtime("日本語 ①.html", kMarch2024);
  for (bool passive : {true, false}) {
    FtpClient client(QuickOptions());
    ConnectOrFail(client, server, passive);
    EXPECT_EQ(client.FindFile("日本語 ①.html"), UtcSeconds(2024, 3, 5, 0, 0, 0));
    EXPECT_EQ(client.FindFile("日本語.html"), std::nullopt);
  }
}

TEST(FtpClientFind, NeverSendsANameThatWouldEndTheCommand) {
  FtpServer server;
  server.files().Write("keep.txt", "x");
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  uint64_t before = client.CommandCount();
  EXPECT_EQ(client.FindFile("a\r\nDELE keep.txt"), std::nullopt);
  EXPECT_EQ(client.CommandCount(), before);
  EXPECT_TRUE(server.files().Exists("keep.txt"));
}

TEST(FtpClientFind, ChangesDirectoryOnlyWhenTheServerAgrees) {
  FtpServer server;
  AddFiles(server);
  server.files().Write("sub/page.html", "deeper");
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  ASSERT_TRUE(client.ChangeDirectory("/sub"));
  EXPECT_FALSE(client.ChangeDirectory("/no such folder"));
  EXPECT_FALSE(client.ChangeDirectory("inner.txt"));  // a file
  EXPECT_FALSE(client.ChangeDirectory(""));
  EXPECT_FALSE(client.ChangeDirectory("/\r\nDELE /page.html"));
  EXPECT_TRUE(server.files().Exists("page.html"));
  // Still in /sub: the put lands there.
  TempDir local;
  local.Write("n.txt", "new");
  EXPECT_EQ(client.PutFile(local / "n.txt", "n.txt", TransferType::Binary), kDone);
  EXPECT_EQ(server.files().Read("sub/n.txt"), "new");
  EXPECT_TRUE(client.ChangeDirectory("/"));
  EXPECT_TRUE(client.FindFile("page.html"));
}

TEST(FtpClientFind, NamesTheWorkingDirectoryAsTheServerDoes) {
  FtpServer server;
  server.files().Write("say \"hi\"/x.txt", "x");
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  EXPECT_EQ(client.WorkingDirectory(), "/");
  ASSERT_TRUE(client.ChangeDirectory("say \"hi\""));
  EXPECT_FALSE(client.ChangeDirectory("missing"));
  EXPECT_EQ(client.WorkingDirectory(), "/say \"hi\"");  // the reply doubles each quote
}

TEST(FtpClientFind, DeletesFiles) {
  FtpServer server({.noUtf8 = true});
  server.files().Write("old one.txt", "x");
  server.files().Write("古い.txt", "x");
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  EXPECT_TRUE(client.DeleteFile("old one.txt"));
  EXPECT_TRUE(client.DeleteFile("古い.txt"));
  EXPECT_FALSE(server.files().Exists("old one.txt"));
  EXPECT_FALSE(server.files().Exists("古い.txt"));
  EXPECT_FALSE(client.DeleteFile("old one.txt"));  // gone already
  EXPECT_FALSE(client.DeleteFile("café.txt"));     // cannot be spelled in code page 932
  EXPECT_TRUE(client.IsConnected());
}

}  // namespace
}  // namespace tolvane::test
