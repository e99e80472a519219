#include "transfer/ServerLogin.h"

#include "app/AppSettings.h"
#include "platform/Seams.h"
#include "transfer/FailureTexts.h"
#include "transfer/FtpClient.h"

namespace tolvane {

bool ConnectWithSettings(FtpClient& ftp, MainContext& ctx) {
  const AppSettings& s = ctx.settings;
  FtpResult connected = ftp.Connect(s.hostname, s.username, s.password, s.pasv != 0);
  if (connected.Succeeded()) return true;
  ctx.prompts.Failure(FailureText(connected));
  return false;
}

}  // namespace tolvane
