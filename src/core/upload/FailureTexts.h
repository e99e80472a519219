#pragma once
// The words shown when an FTP call failed. The server's own line is shown when it refused;
// otherwise a sentence that names what went wrong, so the person can act on it.
#include <string>

#include "ftp/FtpResult.h"

namespace tolvane {

inline constexpr const char* kFtpRefused = "サーバーに接続できませんでした（接続を拒否されました）";
inline constexpr const char* kFtpUnreachable =
    "サーバーに接続できませんでした（サーバーに到達できません）";
inline constexpr const char* kFtpNameNotFound =
    "サーバーに接続できませんでした（ホスト名が見つかりません）";
inline constexpr const char* kFtpBadHostField =
    "サーバーに接続できませんでした（ホスト名またはポート番号が正しくありません）";
inline constexpr const char* kFtpConnectTimeout = "サーバーに接続できませんでした（タイムアウト）";
inline constexpr const char* kFtpNetworkError =
    "サーバーに接続できませんでした（ネットワークのエラー）";
inline constexpr const char* kFtpReplyTimeout = "サーバーが応答しません（タイムアウト）";
inline constexpr const char* kFtpConnectionLost = "サーバーとの接続が切れました";
inline constexpr const char* kFtpProtocolError = "サーバーの応答が正しくありません";
inline constexpr const char* kFtpNotConnected = "サーバーに接続していません";
inline constexpr const char* kFtpBusy = "別の転送が終わるまでお待ちください";
inline constexpr const char* kFtpDataConnectFailed = "データ転送用の接続を開けませんでした";
inline constexpr const char* kFtpDataLost = "データの転送中に接続が切れました";
inline constexpr const char* kFtpDataStalled = "データの転送が止まりました（タイムアウト）";
inline constexpr const char* kFtpCancelled = "プログラムの終了のため転送を中止しました";
inline constexpr const char* kFtpLocalFileUnreadable =
    "アップロードするファイルを読み込めませんでした";
inline constexpr const char* kFtpNameUnsendable =
    "ファイル名に改行などの使えない文字が含まれているため送信できません";
inline constexpr const char* kFtpNameNotConvertible =
    "ファイル名にサーバーの文字コード（Shift_JIS）で表せない文字が含まれています";
inline constexpr const char* kFtpAccountUnsendable =
    "ユーザー名またはパスワードに改行などの使えない文字が含まれています";
inline constexpr const char* kFtpAccountNotConvertible =
    "ユーザー名またはパスワードにサーバーの文字コード（Shift_JIS）で表せない文字が含まれています";
inline constexpr const char* kFtpTlsRefused =
    "サーバーが暗号化（FTPS）を受け付けませんでした。暗号化しないで接続することはありません";
inline constexpr const char* kFtpTlsFailed = "暗号化された接続（TLS）を確立できませんでした";
inline constexpr const char* kFtpCertificateUntrusted =
    "サーバーの証明書を信頼できないため、接続を中止しました";
inline constexpr const char* kFtpCertificateChanged =
    "サーバーの証明書が、以前に受け入れたものから変わっています。接続を中止しました";

// The text to show for a failed call (empty for success).
std::string FailureText(const FtpResult& result);

}  // namespace tolvane
