#include "transfer/ServerLogin.h"

#include "app/AppSettings.h"
#include "platform/Seams.h"
#include "transfer/FtpClient.h"

namespace tolvane {

bool ConnectWithSettings(FtpClient& ftp, MainContext& ctx) {
  const AppSettings& s = ctx.settings;
  std::optional<std::string> error = ftp.Connect(s.hostname, s.username, s.password, s.pasv != 0);
  if (!error) return true;
  ctx.prompts.Failure(error->empty() ? "サーバーに接続できませんでした" : *error);
  return false;
}

}  // namespace tolvane
