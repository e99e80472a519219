#pragma once
// Shared by the FTP client's tests against the local server: short bounds, so a fault case
// ends in a second or two, and a connected client.
#include <gtest/gtest.h>

#include <chrono>
#include <ostream>

#include "ftp/FtpClient.h"
#include "support/FtpServer.h"

namespace tolvane {

// Failed expectations show the kind and the server's line.
inline void PrintTo(const FtpResult& result, std::ostream* out) {
  *out << "FtpResult{kind " << static_cast<int>(result.kind) << ", \"" << result.serverLine
       << "\"}";
}

}  // namespace tolvane

namespace tolvane::test {

using Kind = FtpResult::Kind;
inline const FtpResult kDone{};
inline FtpResult Failure(Kind kind) { return FtpResult::Failed(kind); }
inline FtpResult Refusal(const std::string& serverLine) { return FtpResult::Refusal(serverLine); }

inline FtpOptions QuickOptions() {
  FtpOptions options;
  options.connectTimeoutMs = 2000;
  options.replyTimeoutMs = 2000;
  options.dataStallTimeoutMs = 2000;
  return options;
}

// Connects `client` with the server's account, failing the test when that does not work.
inline void ConnectOrFail(FtpClient& client, const FtpServer& server, bool passive = true) {
  FtpResult failure =
      client.Connect(server.hostField(), server.options().user, server.options().password, passive);
  ASSERT_EQ(failure, kDone);
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
