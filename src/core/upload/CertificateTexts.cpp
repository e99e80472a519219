#include "upload/CertificateTexts.h"

#include "platform/LocalTime.h"
#include "upload/FailureTexts.h"

namespace tolvane {
namespace {

constexpr const char* kValidityFormat = "%Y/%m/%d %H:%M";

// The fingerprint's 32 bytes in two lines of 16, so the box stays narrow.
std::string FingerprintLines(const std::string& sha256) {
  std::string shown = FingerprintForDisplay(sha256);
  constexpr size_t kHalf = 16 * 3 - 1;
  if (shown.size() <= kHalf) return shown;
  return shown.substr(0, kHalf) + "\n" + shown.substr(kHalf + 1);
}

}  // namespace

std::string CertificateTroubleText(FtpCertificate::Trouble trouble) {
  using Trouble = FtpCertificate::Trouble;
  switch (trouble) {
    case Trouble::None:
      return "証明書は信頼できます";
    case Trouble::SelfSigned:
      return "自己署名の証明書です";
    case Trouble::UnknownIssuer:
      return "証明書を発行した認証局を、このコンピューターは信頼していません";
    case Trouble::NameMismatch:
      return "証明書の名前がサーバー名と一致しません";
    case Trouble::Expired:
      return "証明書の有効期限が切れています";
    case Trouble::NotYetValid:
      return "証明書の有効期間がまだ始まっていません";
    case Trouble::Other:
      break;
  }
  return "証明書を検証できませんでした";
}

std::string CertificateDetails(const FtpCertificate& certificate) {
  return "発行先: " + certificate.subject + "\n発行者: " + certificate.issuer +
         "\n有効期間: " + FormatLocal(certificate.validFrom, kValidityFormat) + " ～ " +
         FormatLocal(certificate.validUntil, kValidityFormat) + "\nSHA-256 フィンガープリント:\n" +
         FingerprintLines(certificate.sha256);
}

std::string CertificateQuestionText(const FtpCertificate& certificate) {
  return "サーバーの証明書を確認できませんでした。" + CertificateTroubleText(certificate.trouble) +
         "。\n\n" + CertificateDetails(certificate) +
         "\n\nフィンガープリントがサーバーの管理者から知らされたものと同じであることを確かめてくだ"
         "さい。"
         "\nこの証明書を信頼して接続しますか？\n（「はい」を選ぶと、このサーバーでは以後この証明書"
         "だけを受け入れます）";
}

std::string CertificateRefusedUnattended(const FtpCertificate& certificate) {
  return std::string(kFtpCertificateUntrusted) + "\n" +
         CertificateTroubleText(certificate.trouble) + "。\n" + CertificateDetails(certificate) +
         "\nアップロードボタンか時間確認で一度接続し、この証明書を受け入れてください";
}

std::string CertificateChangedText(const FtpCertificate& certificate) {
  return std::string(kFtpCertificateChanged) + "\n" + CertificateDetails(certificate) +
         "\nサーバーの証明書を更新したと管理者から知らされている場合は、サーバー設定で記憶した"
         "証明書を消去してから接続し直してください";
}

}  // namespace tolvane
