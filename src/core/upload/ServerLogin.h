#pragma once
// Logging in with the server settings, shared by the upload run and the clock check.
#include <optional>
#include <string>

#include "ftp/FtpResult.h"
#include "window/MainView.h"

namespace tolvane {

class FtpClient;
struct AppSettings;

// Connects and logs in as the settings say, showing nothing: for the run's extra connections.
FtpResult ConnectToServer(FtpClient& ftp, const AppSettings& settings);

// Connects and logs in as the settings say. On failure shows why (the server's own words, or
// a sentence of ours) and returns that text.
std::optional<std::string> ConnectWithSettings(FtpClient& ftp, MainContext& ctx);

}  // namespace tolvane
