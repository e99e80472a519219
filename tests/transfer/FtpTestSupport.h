#pragma once
// Shared by the FTP client's tests against the local server: short bounds, so a fault case
// ends in a second or two, and a connected client.
#include <gtest/gtest.h>

#include <chrono>

#include "support/FtpServer.h"
#include "transfer/FtpClient.h"

namespace tolvane::test {

inline FtpOptions QuickOptions() {
  FtpOptions options;
  options.connectTimeoutMs = 2000;
  options.replyTimeoutMs = 2000;
  options.dataStallTimeoutMs = 2000;
  return options;
}

// Connects `client` with the server's account, failing the test when that does not work.
inline void ConnectOrFail(FtpClient& client, const FtpServer& server, bool passive = true) {
  std::optional<std::string> failure =
      client.Connect(server.hostField(), server.options().user, server.options().password, passive);
  ASSERT_EQ(failure, std::nullopt);
  ASSERT_TRUE(client.IsConnected());
}

// Milliseconds `f` took.
template <typename F>
int64_t MillisecondsOf(F&& f) {
  auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

}  // namespace tolvane::test
