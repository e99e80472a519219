#include "ftp/FtpTls.h"

#include <openssl/asn1.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <cctype>

namespace tolvane {
namespace {

std::string NameLine(const X509_NAME* name) {
  BIO* out = BIO_new(BIO_s_mem());
  if (!out) return {};
  X509_NAME_print_ex(out, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
  char* data = nullptr;
  long size = BIO_get_mem_data(out, &data);
  std::string line(data, static_cast<size_t>(size > 0 ? size : 0));
  BIO_free(out);
  return line;
}

int64_t Seconds(const ASN1_TIME* time) {
  tm parts{};
  if (!time || ASN1_TIME_to_tm(time, &parts) != 1) return 0;
  return static_cast<int64_t>(timegm(&parts));
}

FtpCertificate::Trouble TroubleOf(long verifyResult) {
  using Trouble = FtpCertificate::Trouble;
  switch (verifyResult) {
    case X509_V_OK:
      return Trouble::None;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
      return Trouble::SelfSigned;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return Trouble::UnknownIssuer;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return Trouble::NameMismatch;
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return Trouble::Expired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return Trouble::NotYetValid;
    default:
      return Trouble::Other;
  }
}

}  // namespace

std::unique_ptr<FtpTlsContext> FtpTlsContext::Create() {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) return nullptr;
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  SSL_CTX_set_default_verify_paths(context);
  // The verdict is read after the handshake: a certificate the system does not trust may still
  // be the one the person accepted.
  SSL_CTX_set_verify(context, SSL_VERIFY_NONE, nullptr);
  // Many servers close a data connection without close_notify: its end is the TCP end.
  SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  return std::unique_ptr<FtpTlsContext>(new FtpTlsContext(context));
}

FtpTlsContext::~FtpTlsContext() { SSL_CTX_free(m_context); }

std::string CertificateSha256(X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!certificate || X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

FtpCertificate DescribeCertificate(X509* certificate, long verifyResult) {
  FtpCertificate described;
  described.subject = NameLine(X509_get_subject_name(certificate));
  described.issuer = NameLine(X509_get_issuer_name(certificate));
  described.validFrom = Seconds(X509_get0_notBefore(certificate));
  described.validUntil = Seconds(X509_get0_notAfter(certificate));
  described.sha256 = CertificateSha256(certificate);
  described.trouble = TroubleOf(verifyResult);
  return described;
}

std::string FingerprintForDisplay(const std::string& sha256) {
  std::string shown;
  for (size_t i = 0; i < sha256.size(); ++i) {
    if (i > 0 && i % 2 == 0) shown += ':';
    shown += static_cast<char>(std::toupper(static_cast<unsigned char>(sha256[i])));
  }
  return shown;
}

bool IsSha256Fingerprint(const std::string& text) {
  if (text.size() != 64) return false;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

}  // namespace tolvane
