#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

#include "ftp/FtpSocket.h"
#include "transfer/FtpTestSupport.h"

namespace tolvane::test {
namespace {

FtpOptions Impatient() {
  FtpOptions options = QuickOptions();
  options.replyTimeoutMs = 500;
  options.dataStallTimeoutMs = 500;
  return options;
}

size_t Logins(const FtpServer& server) {
  std::vector<std::string> c = server.Commands();
  return static_cast<size_t>(std::count(c.begin(), c.end(), "USER tolvane"));
}

TEST(FtpClientFault, GivesUpOnAServerThatStopsAnswering) {
  FtpServer server({.stallOn = {"CWD", "STOR"}});
  TempDir local;
  local.Write("a.txt", "x");
  {
    FtpClient client(Impatient());
    ConnectOrFail(client, server);
    EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Binary),
              Failure(Kind::ReplyTimeout));
    EXPECT_FALSE(client.IsConnected());
  }
  FtpClient client(Impatient());
  ConnectOrFail(client, server);
  bool changed = true;
  int64_t ms = MillisecondsOf([&] { changed = client.ChangeDirectory("/"); });
  EXPECT_FALSE(changed);
  EXPECT_GE(ms, 450);
  EXPECT_LT(ms, 1500);
  // The session is over; later calls say why at once and never reconnect behind our back.
  EXPECT_FALSE(client.IsConnected());
  ms = MillisecondsOf([&] {
    EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Binary),
              Failure(Kind::ReplyTimeout));
    EXPECT_EQ(client.FindFile("a.txt"), std::nullopt);
    EXPECT_FALSE(client.DeleteFile("a.txt"));
    client.Close();
  });
  EXPECT_LT(ms, 200);
  EXPECT_EQ(Logins(server), 2u);
}

TEST(FtpClientFault, ReportsAConnectionDroppedMidSession) {
  FtpServer server({.dropOn = {"CWD", "STOR"}});
  TempDir local;
  local.Write("a.txt", "x");
  FtpClient client(Impatient());
  ConnectOrFail(client, server);
  EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Binary),
            Failure(Kind::ConnectionLost));
  EXPECT_FALSE(client.IsConnected());

  ConnectOrFail(client, server);  // only when the caller asks
  bool changed = true;
  int64_t ms = MillisecondsOf([&] { changed = client.ChangeDirectory("/"); });
  EXPECT_FALSE(changed);
  EXPECT_LT(ms, 400);  // noticed at once, not after the reply timeout
  EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Binary),
            Failure(Kind::ConnectionLost));
  EXPECT_EQ(Logins(server), 2u);
}

TEST(FtpClientFault, SurvivesAReplyLineOfAMegabyte) {
  FtpServer server({.hugeReplyOn = {"CWD", "STOR"}});
  server.files().Write("page.html", "p");
  TempDir local;
  local.Write("a.txt", "x");
  FtpClient client(Impatient());
  ConnectOrFail(client, server);
  EXPECT_FALSE(client.ChangeDirectory("/"));
  FtpResult failure = client.PutFile(local / "a.txt", "a.txt", TransferType::Binary);
  ASSERT_EQ(failure.kind, Kind::Refused);
  EXPECT_EQ(failure.serverLine.rfind("550 xxxx", 0), 0u);
  EXPECT_LE(failure.serverLine.size(), 1024u);
  // The replies stay in step: the session goes on.
  EXPECT_TRUE(client.IsConnected());
  EXPECT_TRUE(client.FindFile("page.html"));
}

TEST(FtpClientFault, CutsADataConnectionThatStopsMoving) {
  FtpServer server({.stallData = true});
  TempDir local;
  local.Write("big.bin", std::string(24 << 20, 'b'));  // more than the socket buffers hold
  FtpClient client(Impatient());
  ConnectOrFail(client, server);
  FtpResult failure;
  int64_t ms = MillisecondsOf(
      [&] { failure = client.PutFile(local / "big.bin", "big.bin", TransferType::Binary); });
  EXPECT_EQ(failure, Failure(Kind::DataStalled));
  EXPECT_LT(ms, 3000);
}

TEST(FtpClientFault, KeepsPumpingWhileASlowServerThinks) {
  FtpServer server({.delayMs = 150});
  FtpOptions options = QuickOptions();
  std::vector<std::chrono::steady_clock::time_point> pumps;
  options.pump = [&pumps] { pumps.push_back(std::chrono::steady_clock::now()); };
  FtpClient client(options);
  ConnectOrFail(client, server);
  TempDir local;
  local.Write("a.txt", "slow");
  EXPECT_EQ(client.PutFile(local / "a.txt", "a.txt", TransferType::Ascii), kDone);
  EXPECT_EQ(server.files().Read("a.txt"), "slow");
  ASSERT_GE(pumps.size(), 15u);
  auto longest = std::chrono::milliseconds(0);
  for (size_t i = 1; i < pumps.size(); ++i) {
    longest = std::max(
        longest, std::chrono::duration_cast<std::chrono::milliseconds>(pumps[i] - pumps[i - 1]));
  }
  EXPECT_LT(longest.count(), 80);
}

TEST(FtpClientFault, RefusesCallsThatComeBackInThroughThePump) {
  FtpServer server({.delayMs = 100});
  TempDir local;
  local.Write("a.txt", "x");
  FtpClient* self = nullptr;
  FtpResult inner;
  bool closeAsked = false;
  FtpOptions options = QuickOptions();
  options.pump = [&] {
    if (!self || closeAsked) return;
    inner = self->PutFile(local / "a.txt", "inner.txt", TransferType::Binary);
    self->Close();  // e.g. the window closing while the upload runs
    closeAsked = true;
  };
  FtpClient client(options);
  ConnectOrFail(client, server);
  self = &client;
  EXPECT_EQ(client.PutFile(local / "a.txt", "outer.txt", TransferType::Binary), kDone);
  EXPECT_EQ(inner, Failure(Kind::Busy));
  EXPECT_TRUE(closeAsked);
  EXPECT_FALSE(client.IsConnected());  // closed once the put was done
  EXPECT_EQ(server.files().Read("outer.txt"), "x");
  EXPECT_FALSE(server.files().Exists("inner.txt"));
}

}  // namespace
}  // namespace tolvane::test

namespace tolvane::test {
namespace {

// A slow uplink: what the last writes queued leaves at the pace of the line. Waiting for it
// is no stall as long as the queue shrinks; a peer that stops taking data is one.
TEST(FtpSocketDrain, WaitsWhileTheQueueShrinksAndNotWhenItStands) {
  for (bool peerReads : {true, false}) {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int small = 4096;
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    listen(listener, 1);
    FtpSocket sender;
    ASSERT_EQ(sender.Connect(reinterpret_cast<sockaddr*>(&address), sizeof address,
                             DeadlineAfter(1000), {}),
              0);
    int receiver = accept(listener, nullptr, nullptr);
    std::atomic<bool> done{false};
    std::thread reader([&] {
      char buffer[4096];
      while (!done && peerReads) {
        if (recv(receiver, buffer, sizeof buffer, MSG_DONTWAIT) == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    });
    ASSERT_EQ(sender.SendAll(std::string(64 << 10, 'x'), 5000, {}), 0);
    int error = -1;
    int64_t ms = MillisecondsOf([&] { error = sender.Drain(300, {}); });
    if (peerReads) {
      EXPECT_EQ(error, 0);
      EXPECT_GT(ms, 300);  // longer than the stall bound, yet never a stall
    } else {
      EXPECT_EQ(error, ETIMEDOUT);
      EXPECT_LT(ms, 1000);
    }
    done = true;
    reader.join();
    close(receiver);
    close(listener);
  }
}

}  // namespace
}  // namespace tolvane::test
