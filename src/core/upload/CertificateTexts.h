#pragma once
// What the person is told about a server certificate the system does not trust: the question
// of a run someone started by hand, and the refusals of runs nobody watches.
#include <string>

#include "ftp/FtpTls.h"

namespace tolvane {

// Why the system does not trust it, as a sentence without its full stop.
std::string CertificateTroubleText(FtpCertificate::Trouble trouble);
// Subject, issuer, validity (local time) and the SHA-256 fingerprint, a line each.
std::string CertificateDetails(const FtpCertificate& certificate);
// The Yes/No question: accept this certificate for this server from now on?
std::string CertificateQuestionText(const FtpCertificate& certificate);
// A scheduled or command-line run that met an untrusted certificate: why it stopped and what
// to do.
std::string CertificateRefusedUnattended(const FtpCertificate& certificate);
// The certificate is not the one accepted before.
std::string CertificateChangedText(const FtpCertificate& certificate);

}  // namespace tolvane
