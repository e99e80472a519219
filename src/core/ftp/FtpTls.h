#pragma once
// FTP over TLS with OpenSSL: the settings a session is encrypted by, the context its control
// and data connections share, and what is known of the server's certificate, so that the
// person can be asked about one the system does not trust.
#include <openssl/types.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tolvane {

enum class FtpEncryption : uint8_t {
  None = 0,      // plain FTP: the account and the files cross the network in clear
  Explicit = 1,  // AUTH TLS on the usual port, then PBSZ 0 and PROT P
  Implicit = 2,  // TLS from the first byte, port 990 unless the host field names one
};

struct FtpTlsSettings {
  FtpEncryption encryption = FtpEncryption::None;
  // SHA-256 of the one certificate the person accepted although the system does not trust
  // it, 64 lowercase hex digits; empty when none was.
  std::string pinnedSha256;
};

struct FtpCertificate {
  // Why the system does not trust it.
  enum class Trouble { None, SelfSigned, UnknownIssuer, NameMismatch, Expired, NotYetValid, Other };
  std::string subject;  // one line, e.g. "CN=ftp.example.jp,O=Example"
  std::string issuer;
  int64_t validFrom = 0;  // seconds since 1970, UTC
  int64_t validUntil = 0;
  std::string sha256;  // 64 lowercase hex digits of the whole certificate's SHA-256
  Trouble trouble = Trouble::None;
};

// The OpenSSL context of one session: TLS 1.2 or newer, the system's CA store.
class FtpTlsContext {
 public:
  // nullptr when OpenSSL cannot set one up.
  static std::unique_ptr<FtpTlsContext> Create();
  ~FtpTlsContext();
  FtpTlsContext(const FtpTlsContext&) = delete;
  FtpTlsContext& operator=(const FtpTlsContext&) = delete;
  SSL_CTX* Get() const { return m_context; }

 private:
  explicit FtpTlsContext(SSL_CTX* context) : m_context(context) {}
  SSL_CTX* m_context;
};

// The certificate as shown to the person; `verifyResult` is OpenSSL's verdict on it.
FtpCertificate DescribeCertificate(X509* certificate, long verifyResult);
// 64 lowercase hex digits.
std::string CertificateSha256(X509* certificate);
// "AB:CD:..." as certificate viewers show a fingerprint.
std::string FingerprintForDisplay(const std::string& sha256);
// Whether `text` is a SHA-256 fingerprint as stored: 64 hex digits.
bool IsSha256Fingerprint(const std::string& text);

}  // namespace tolvane
