#include <algorithm>

#include "transfer/FtpTestSupport.h"

namespace tolvane::test {
namespace {

bool Sent(const FtpServer& server, const std::string& command) {
  std::vector<std::string> commands = server.Commands();
  return std::find(commands.begin(), commands.end(), command) != commands.end();
}

// The command sent just before `command`.
std::string SentBefore(const FtpServer& server, const std::string& command) {
  std::vector<std::string> commands = server.Commands();
  auto it = std::find(commands.begin(), commands.end(), command);
  return it == commands.begin() || it == commands.end() ? "" : *(it - 1);
}

TEST(FtpClientPut, SendsAsciiWithExactlyOneCrLfPerLine) {
  FtpServer server({.keepAsciiBytes = true});  // the server keeps what came over the wire
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  TempDir local;
  local.Write("lf.html", "<p>\nline\n\nend");
  local.Write("crlf.html", "<p>\r\nline\r\n\r\nend\r\n");
  local.Write("mixed.txt", "a\r\nb\nc\rd\n");
  EXPECT_EQ(client.PutFile(local / "lf.html", "lf.html", TransferType::Ascii), kDone);
  EXPECT_EQ(client.PutFile(local / "crlf.html", "crlf.html", TransferType::Ascii), kDone);
  EXPECT_EQ(client.PutFile(local / "mixed.txt", "mixed.txt", TransferType::Ascii), kDone);
  EXPECT_EQ(server.files().Read("lf.html"), "<p>\r\nline\r\n\r\nend");
  EXPECT_EQ(server.files().Read("crlf.html"), "<p>\r\nline\r\n\r\nend\r\n");
  EXPECT_EQ(server.files().Read("mixed.txt"), "a\r\nb\r\nc\rd\r\n");
  EXPECT_EQ(SentBefore(server, "EPSV"), "TYPE A");

  // A CR LF falling exactly on the boundary of the client's read buffer stays one line end.
  std::string big(64 * 1024 - 1, 'x');
  big += "\r\n" + std::string(100, 'y') + "\n";
  local.Write("big.txt", big);
  EXPECT_EQ(client.PutFile(local / "big.txt", "big.txt", TransferType::Ascii), kDone);
  EXPECT_EQ(server.files().Read("big.txt"), big.substr(0, big.size() - 1) + "\r\n");
}

TEST(FtpClientPut, SendsBinaryByteForByte) {
  FtpServer server;
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  std::string bytes("\r\n\0\n\r\r\n\xFF\x00", 9);
  for (int i = 0; i < 300000; ++i) bytes += static_cast<char>(i * 7 % 256);
  TempDir local;
  local.Write("data.bin", bytes);
  EXPECT_EQ(client.PutFile(local / "data.bin", "data.bin", TransferType::Binary), kDone);
  EXPECT_EQ(server.files().Read("data.bin"), bytes);
  EXPECT_TRUE(Sent(server, "TYPE I"));
  // Empty files too, and a second put replaces the first.
  local.Write("data.bin", "");
  EXPECT_EQ(client.PutFile(local / "data.bin", "data.bin", TransferType::Binary), kDone);
  EXPECT_EQ(server.files().Read("data.bin"), "");
}

TEST(FtpClientPut, KeepsNamesWithSpacesSignsAndJapaneseIntact) {
  for (bool utf8 : {true, false}) {
    FtpServer server({.noUtf8 = !utf8});
    FtpClient client(QuickOptions());
    ConnectOrFail(client, server);
    TempDir local;
    local.Write("src", "content");
    for (const std::string name : {"my page.html", "a#b%20c.txt", "日本語 ①.html", " lead"}) {
      EXPECT_EQ(client.PutFile(local / "src", name, TransferType::Binary), kDone) << name;
      EXPECT_EQ(server.files().Read(name), "content") << name << (utf8 ? " utf8" : " cp932");
    }
    if (!utf8) {
      EXPECT_EQ(client.PutFile(local / "src", "café.html", TransferType::Binary),
                Failure(Kind::NameNotConvertible));
      EXPECT_TRUE(client.IsConnected());
    }
  }
}

TEST(FtpClientPut, WorksActivelyAndFallsBackToPort) {
  for (bool noEprt : {false, true}) {
    FtpServer server({.noEprt = noEprt});
    FtpClient client(QuickOptions());
    ConnectOrFail(client, server, /*passive=*/false);
    TempDir local;
    local.Write("a.txt", "one\ntwo\n");
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Ascii), kDone);
    }
    EXPECT_EQ(server.files().Read("a.txt"), "one\ntwo\n");  // stored in the server's line ends
    std::vector<std::string> commands = server.Commands();
    auto count = [&](const std::string& prefix) {
      return std::count_if(commands.begin(), commands.end(),
                           [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("EPRT"), noEprt ? 1 : 2);  // a missing EPRT is asked for only once
    EXPECT_EQ(count("PORT"), noEprt ? 2 : 0);
    EXPECT_EQ(count("EPSV") + count("PASV"), 0);
  }
}

class FtpClientPasv : public ::testing::TestWithParam<const char*> {};
INSTANTIATE_TEST_SUITE_P(Addresses, FtpClientPasv, ::testing::Values("127.0.0.2", "192.0.2.1"));

TEST_P(FtpClientPasv, SendsDataOnlyToTheServersOwnAddress) {
  // The server names another address in PASV: its inside address behind NAT, or (hostile)
  // any host it wants our files sent to. Nothing listens there, so the put works only by
  // going to the control connection's address.
  FtpServer server({.noEpsv = true, .pasvAddress = GetParam()});
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  TempDir local;
  local.Write("a.bin", "nat");
  EXPECT_EQ(client.PutFile(local / "a.bin", "a.bin", TransferType::Binary), kDone);
  EXPECT_EQ(client.PutFile(local / "a.bin", "b.bin", TransferType::Binary), kDone);
  EXPECT_EQ(server.files().Read("b.bin"), "nat");
  std::vector<std::string> commands = server.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "EPSV"), 1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "PASV"), 2);
}

TEST(FtpClientPut, ReportsRefusalsAndBadInputWithoutLosingTheSession) {
  FtpServer server({.readonlyUser = "reader", .readonlyPassword = "pw"});
  TempDir local;
  local.Write("a.txt", "x");
  FtpClient reader(QuickOptions());
  ASSERT_EQ(reader.Connect(server.hostField(), "reader", "pw", true), kDone);
  EXPECT_EQ(reader.PutFile(local / "a.txt", "a.txt", TransferType::Ascii),
            Refusal("550 Not enough privileges."));
  EXPECT_FALSE(server.files().Exists("a.txt"));
  EXPECT_TRUE(reader.ChangeDirectory("/"));  // still usable

  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  uint64_t before = client.CommandCount();
  EXPECT_EQ(client.PutFile(local / "missing.txt", "m.txt", TransferType::Binary),
            Failure(Kind::LocalFileUnreadable));
  EXPECT_EQ(client.PutFile(local.path(), "dir.txt", TransferType::Binary),
            Failure(Kind::LocalFileUnreadable));
  server.files().Write("keep.txt", "keep");
  EXPECT_EQ(client.PutFile(local / "a.txt", "x.txt\r\nDELE keep.txt", TransferType::Binary),
            Failure(Kind::NameUnsendable));
  EXPECT_EQ(client.PutFile(local / "a.txt", "", TransferType::Binary),
            Failure(Kind::NameUnsendable));
  EXPECT_EQ(client.CommandCount(), before);  // none of these reached the server
  EXPECT_TRUE(server.files().Exists("keep.txt"));
  EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Binary), kDone);
}

}  // namespace
}  // namespace tolvane::test
