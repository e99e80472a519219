#pragma once
// The server clock check: puts a small test file on the server, reads back the time the server
// gives it and shows it beside the PC's time, so the user can enter the server time correction.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ftp/FtpOptions.h"
#include "window/MainView.h"

namespace tolvane {

class FtpClient;

inline constexpr const char* kClockTestFile = "tolvanetimetest.txt";

// The question shown after a check: both times as local "%m/%d %H:%M".
std::string ClockQuestionText(int64_t pcTime, int64_t serverTime);

class ClockCheck {
 public:
  // `openServerSettings` opens the server settings dialog modally and returns when it closed.
  ClockCheck(MainContext& ctx, std::function<void()> openServerSettings, FtpOptions options = {});

  // Menu command "時間確認". Returns when the check, and the dialog it may open, are over.
  void CheckServerClock();

 private:
  struct Reading {
    int64_t pcTime = 0;
    std::optional<int64_t> serverTime;  // nullopt when the test file was not found
  };

  bool LocalTestFileExists() const;
  // Connected: the put, the wait and the read; the connection is closed afterwards.
  Reading ReadServerTime(FtpClient& ftp);
  void Disconnect(FtpClient& ftp);
  void ShowIdle();

  MainContext& m_ctx;
  std::function<void()> m_openServerSettings;
  FtpOptions m_options;
};

}  // namespace tolvane
