#include "transfer/ServerLogin.h"

#include "app/AppSettings.h"
#include "platform/Seams.h"
#include "transfer/FtpClient.h"

namespace tolvane {

std::optional<std::string> ConnectWithSettings(FtpClient& ftp, MainContext& ctx) {
  const AppSettings& s = ctx.settings;
  std::optional<std::string> error = ftp.Connect(s.hostname, s.username, s.password, s.pasv != 0);
  if (!error) return std::nullopt;
  if (error->empty()) error = "サーバーに接続できませんでした";
  ctx.prompts.Failure(*error);
  return error;
}

}  // namespace tolvane
