#include "upload/ServerLogin.h"

#include "Seams.h"
#include "ftp/FtpClient.h"
#include "settings/AppSettings.h"
#include "settings/SettingFields.h"
#include "settings/SettingsFile.h"
#include "upload/CertificateTexts.h"
#include "upload/FailureTexts.h"

namespace tolvane {
namespace {

// The text for a failed connection; asks about an untrusted certificate where allowed and
// connects again once it is accepted (`connected` then holds the new outcome).
std::string Explain(FtpClient& ftp, MainContext& ctx, CertificatePrompt prompt,
                    FtpResult& connected) {
  const std::optional<FtpCertificate>& certificate = ftp.ServerCertificate();
  if (connected.kind == FtpResult::Kind::CertificateChanged && certificate) {
    return CertificateChangedText(*certificate);
  }
  if (connected.kind != FtpResult::Kind::CertificateUntrusted || !certificate) {
    return FailureText(connected);
  }
  if (prompt == CertificatePrompt::NeverAsk) return CertificateRefusedUnattended(*certificate);
  const FtpCertificate shown = *certificate;
  if (ctx.prompts.Show(CertificateQuestionText(shown), kCaptionConfirm, Icon::Warning,
                       Buttons::YesNo) != Answer::Yes) {
    return kFtpCertificateUntrusted;
  }
  if (!StoreCertificatePin(ctx.settings, shown.sha256)) return kSettingsWriteFailed;
  connected = ConnectToServer(ftp, ctx.settings);
  if (connected.Succeeded()) return {};
  // A different certificate on the second connection is a changed one, said as such.
  return Explain(ftp, ctx, CertificatePrompt::NeverAsk, connected);
}

}  // namespace

FtpResult ConnectToServer(FtpClient& ftp, const AppSettings& s) {
  return ftp.Connect(s.hostname, s.username, s.password, s.passiveMode != 0, TlsSettingsOf(s));
}

FtpTlsSettings TlsSettingsOf(const AppSettings& settings) {
  FtpTlsSettings tls;
  if (settings.encryption == 0) return tls;
  tls.encryption = settings.encryption == 2 ? FtpEncryption::Implicit : FtpEncryption::Explicit;
  tls.pinnedSha256 = PinnedCertificateForHost(settings);
  return tls;
}

std::optional<std::string> ConnectWithSettings(FtpClient& ftp, MainContext& ctx,
                                               CertificatePrompt prompt) {
  FtpResult connected = ConnectToServer(ftp, ctx.settings);
  if (connected.Succeeded()) return std::nullopt;
  std::string text = Explain(ftp, ctx, prompt, connected);
  if (connected.Succeeded()) return std::nullopt;
  ctx.prompts.Failure(text);
  return text;
}

}  // namespace tolvane
