#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "support/ScriptedFtpServer.h"
#include "transfer/FtpTestSupport.h"

namespace tolvane::test {
namespace {

// A port on 127.0.0.1 where nothing listens.
int UnusedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t length = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
  close(fd);
  return ntohs(a.sin_port);
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

TEST(FtpClientConnect, AsksFeaturesBeforeLoggingInAndQuitsOnClose) {
  FtpServer server;
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  client.Close();
  EXPECT_FALSE(client.IsConnected());
  client.Close();  // a second close does nothing

  std::vector<std::string> commands = server.Commands();
  ASSERT_GE(commands.size(), 4u);
  EXPECT_EQ(commands.front(), "FEAT");
  EXPECT_LT(IndexOf(commands, "OPTS UTF8 ON"), IndexOf(commands, "USER tolvane"));
  EXPECT_EQ(commands.back(), "QUIT");
  EXPECT_EQ(client.CommandCount(), commands.size());

  // A closed client refuses everything without touching the network.
  EXPECT_FALSE(client.ChangeDirectory("/"));
  EXPECT_EQ(client.PutFile("/etc/hostname", "x", TransferType::Binary),
            Failure(Kind::NotConnected));
  EXPECT_EQ(server.Commands().size(), commands.size());
}

TEST(FtpClientConnect, ShowsTheServersOwnWordsWhenItRefusesTheLogin) {
  FtpServer server;
  FtpClient client(QuickOptions());
  EXPECT_EQ(client.Connect(server.hostField(), "tolvane", "wrong", true),
            Refusal("530 Authentication failed."));
  EXPECT_FALSE(client.IsConnected());
  EXPECT_EQ(client.Connect(server.hostField(), "nobody", "secret", true),
            Refusal("530 Authentication failed."));
}

TEST(FtpClientConnect, NamesTransportFailuresInJapanese) {
  FtpClient client(QuickOptions());
  EXPECT_EQ(client.Connect("127.0.0.1:" + std::to_string(UnusedPort()), "u", "p", true),
            Failure(Kind::ConnectRefused));
  EXPECT_EQ(client.Connect("127.0.0.1:70000", "u", "p", true), Failure(Kind::BadHostField));
  EXPECT_EQ(client.Connect("", "u", "p", true), Failure(Kind::BadHostField));
  EXPECT_FALSE(client.IsConnected());
}

TEST(FtpClientConnect, GivesUpOnAServerThatNeverGreetsOrSpeaksGarbage) {
  FtpOptions options = QuickOptions();
  options.replyTimeoutMs = 500;
  int pumps = 0;
  options.pump = [&pumps] { ++pumps; };
  {
    FtpServer silent({.stallOn = {"BANNER"}});
    FtpClient client(options);
    FtpResult failure;
    int64_t ms =
        MillisecondsOf([&] { failure = client.Connect(silent.hostField(), "u", "p", true); });
    EXPECT_EQ(failure, Failure(Kind::ReplyTimeout));
    EXPECT_GE(ms, 450);
    EXPECT_LT(ms, 1500);
    EXPECT_GE(pumps, 5);  // the window kept painting meanwhile
  }
  FtpServer garbage({.garbageBanner = true});
  FtpClient client(options);
  EXPECT_EQ(client.Connect(garbage.hostField(), "u", "p", true), Failure(Kind::ProtocolError));
  EXPECT_FALSE(client.IsConnected());
}

TEST(FtpClientConnect, NeverSendsAnAccountThatWouldInjectCommands) {
  FtpServer server;
  FtpClient client(QuickOptions());
  EXPECT_EQ(client.Connect(server.hostField(), "tolvane\r\nDELE keep", "secret", true),
            Failure(Kind::AccountUnsendable));
  EXPECT_EQ(client.Connect(server.hostField(), "tolvane", std::string("sec\0ret", 7), true),
            Failure(Kind::AccountUnsendable));
  EXPECT_TRUE(server.Commands().empty());
}

TEST(FtpClientConnect, SendsAJapaneseAccountInTheServersEncoding) {
  for (bool utf8 : {true, false}) {
    FtpServer server({.user = "ユーザー", .password = "パスワード①", .noUtf8 = !utf8});
    FtpClient client(QuickOptions());
    ConnectOrFail(client, server);
  }
  FtpServer cp932({.user = "café", .password = "p", .noUtf8 = true});
  FtpClient client(QuickOptions());
  EXPECT_EQ(client.Connect(cp932.hostField(), "café", "p", true),
            Failure(Kind::AccountNotConvertible));
}

TEST(FtpClientConnect, AsksFeaturesAfterLoginWhenRefusedBefore) {
  FtpServer server({.featNeedsLogin = true});
  FtpClient client(QuickOptions());
  ConnectOrFail(client, server);
  std::vector<std::string> commands = server.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "FEAT"), 2);
  // The second answer listed UTF8, so names now go out in UTF-8.
  server.files().Write("local.txt", "x");
  EXPECT_EQ(client.PutFile(server.root() + "/local.txt", "日本語.txt", TransferType::Binary),
            kDone);
  EXPECT_TRUE(server.files().Exists("日本語.txt"));
}

TEST(FtpClientConnect, WorksOverIpv6) {
  FtpServer server({.ipv6 = true});
  for (bool passive : {true, false}) {
    FtpClient client(QuickOptions());
    ConnectOrFail(client, server, passive);
    TempDir local;
    local.Write("a.bin", "v6");
    std::string name = passive ? "passive.bin" : "active.bin";
    EXPECT_EQ(client.PutFile(local / "a.bin", name, TransferType::Binary), kDone);
    EXPECT_EQ(server.files().Read(name), "v6");
  }
}

TEST(FtpClientConnect, TracesEveryCommandReplyAndTransferWithThePasswordMasked) {
  ScriptedFtpServer server({"STOR#2=reply:553 Denied for tolvane:secret"});
  TempDir local;
  local.Write("a.txt", "hello");
  std::vector<FtpTraceEvent> trace;
  FtpOptions options = QuickOptions();
  options.trace = [&](const FtpTraceEvent& event) { trace.push_back(event); };
  {
    FtpClient client(options);
    ASSERT_EQ(client.Connect(server.hostField(), "tolvane", "secret", true), kDone);
    EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Binary), kDone);
    EXPECT_EQ(client.PutFile(local / "a.txt", "b.txt", TransferType::Binary),
              Refusal("553 Denied for tolvane:********"));
  }
  std::vector<std::string> sent, expected = server.Commands();
  std::vector<FtpTraceEvent> transfers;
  for (const FtpTraceEvent& event : trace) {
    if (event.kind == FtpTraceEvent::Kind::Command) sent.push_back(event.command);
    if (event.kind == FtpTraceEvent::Kind::Transfer) transfers.push_back(event);
    std::string all = event.command;
    for (const std::string& line : event.lines) all += line;
    EXPECT_EQ(all.find("secret"), std::string::npos) << all;
  }
  std::replace(expected.begin(), expected.end(), std::string("PASS secret"),
               std::string("PASS ********"));
  EXPECT_EQ(sent, expected);
  ASSERT_EQ(trace.front().kind, FtpTraceEvent::Kind::Reply);  // the greeting
  EXPECT_EQ(trace.front().code, 220);
  for (size_t i = 0; i + 1 < trace.size(); ++i) {  // every command gets its reply
    if (trace[i].kind == FtpTraceEvent::Kind::Command) {
      EXPECT_EQ(trace[i + 1].kind, FtpTraceEvent::Kind::Reply) << trace[i].command;
    }
  }
  ASSERT_EQ(transfers.size(), 2u);
  EXPECT_EQ(transfers[0].command, "STOR a.txt");
  EXPECT_EQ(transfers[0].bytes, 5u);
  EXPECT_EQ(transfers[0].result, kDone);
  EXPECT_EQ(transfers[1].command, "STOR b.txt");
  EXPECT_EQ(transfers[1].result.kind, Kind::Refused);
}

}  // namespace
}  // namespace tolvane::test
