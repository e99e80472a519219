#include "upload/FailureTexts.h"

namespace tolvane {

std::string FailureText(const FtpResult& result) {
  using Kind = FtpResult::Kind;
  switch (result.kind) {
    case Kind::Ok:
      return {};
    case Kind::Refused:
      return result.serverLine;
    case Kind::ConnectRefused:
      return kFtpRefused;
    case Kind::Unreachable:
      return kFtpUnreachable;
    case Kind::HostNotFound:
      return kFtpNameNotFound;
    case Kind::BadHostField:
      return kFtpBadHostField;
    case Kind::ConnectTimeout:
      return kFtpConnectTimeout;
    case Kind::NetworkError:
      return kFtpNetworkError;
    case Kind::ReplyTimeout:
      return kFtpReplyTimeout;
    case Kind::ConnectionLost:
      return kFtpConnectionLost;
    case Kind::ProtocolError:
      return kFtpProtocolError;
    case Kind::NotConnected:
      return kFtpNotConnected;
    case Kind::Busy:
      return kFtpBusy;
    case Kind::DataConnectFailed:
      return kFtpDataConnectFailed;
    case Kind::DataLost:
      return kFtpDataLost;
    case Kind::DataStalled:
      return kFtpDataStalled;
    case Kind::Cancelled:
      return kFtpCancelled;
    case Kind::LocalFileUnreadable:
      return kFtpLocalFileUnreadable;
    case Kind::NameUnsendable:
      return kFtpNameUnsendable;
    case Kind::NameNotConvertible:
      return kFtpNameNotConvertible;
    case Kind::AccountUnsendable:
      return kFtpAccountUnsendable;
    case Kind::AccountNotConvertible:
      return kFtpAccountNotConvertible;
    case Kind::TlsRefused:
      return std::string(kFtpTlsRefused) + "\n" + result.serverLine;
    case Kind::TlsFailed:
      return kFtpTlsFailed;
    case Kind::CertificateUntrusted:
      return kFtpCertificateUntrusted;
    case Kind::CertificateChanged:
      return kFtpCertificateChanged;
  }
  return kFtpProtocolError;
}

}  // namespace tolvane
