#include "upload/ServerLogin.h"

#include "Seams.h"
#include "ftp/FtpClient.h"
#include "settings/AppSettings.h"
#include "upload/FailureTexts.h"

namespace tolvane {

std::optional<std::string> ConnectWithSettings(FtpClient& ftp, MainContext& ctx) {
  const AppSettings& s = ctx.settings;
  FtpResult connected = ftp.Connect(s.hostname, s.username, s.password, s.passiveMode != 0);
  if (connected.Succeeded()) return std::nullopt;
  std::string text = FailureText(connected);
  ctx.prompts.Failure(text);
  return text;
}

}  // namespace tolvane
