#include "upload/ServerLogin.h"

#include "Seams.h"
#include "ftp/FtpClient.h"
#include "settings/AppSettings.h"
#include "upload/FailureTexts.h"

namespace tolvane {

FtpResult ConnectToServer(FtpClient& ftp, const AppSettings& s) {
  return ftp.Connect(s.hostname, s.username, s.password, s.passiveMode != 0);
}

std::optional<std::string> ConnectWithSettings(FtpClient& ftp, MainContext& ctx) {
  FtpResult connected = ConnectToServer(ftp, ctx.settings);
  if (connected.Succeeded()) return std::nullopt;
  std::string text = FailureText(connected);
  ctx.prompts.Failure(text);
  return text;
}

}  // namespace tolvane
