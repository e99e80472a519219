#include "ftp/FtpSession.h"

#include <algorithm>
#include <cctype>

namespace tolvane {
namespace {

// QUIT is a courtesy: a server that does not answer it must not hold up closing.
constexpr int kQuitTimeoutMs = 2000;

// " UTF8" → "UTF8", " MLST type*;size*;modify*;" → "MLST".
std::string FeatureName(const std::string& line) {
  size_t start = line.find_first_not_of(' ');
  if (start == std::string::npos) return {};
  std::string name = line.substr(start, line.find(' ', start) - start);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return name;
}

}  // namespace

FtpResult FtpSession::Open(const FtpEndpoint& endpoint, const std::string& user,
                           const std::string& password, bool passive, const FtpTlsSettings& tls) {
  m_passive = passive;
  if (FtpResult opened = m_control.Open(endpoint); !opened.Succeeded()) return opened;
  if (tls.encryption == FtpEncryption::Implicit) {
    if (FtpResult secured = m_control.StartTls(tls.pinnedSha256); !secured.Succeeded()) {
      return secured;
    }
  }
  std::optional<FtpReply> greeting = m_control.FinalReply(m_control.NextReply());  // past 120
  if (!greeting || greeting->code != 220) return Fail(greeting);
  if (tls.encryption == FtpEncryption::Explicit) {
    if (FtpResult secured = Authenticate(tls); !secured.Succeeded()) return secured;
  }
  // Features first: whether the server speaks UTF-8 decides how the account is sent.
  Feat feat = AskFeatures();
  if (!m_control.IsOpen()) return FtpResult::Failed(m_control.Failure());
  if (FtpResult loggedIn = LogIn(user, password); !loggedIn.Succeeded()) return loggedIn;
  if (m_control.Encrypted()) {
    if (FtpResult protectedData = ProtectData(); !protectedData.Succeeded()) return protectedData;
  }
  if (feat == Feat::Refused) AskFeatures();  // some servers answer FEAT only after login
  if (!m_control.IsOpen()) return FtpResult::Failed(m_control.Failure());
  return {};
}

FtpResult FtpSession::Authenticate(const FtpTlsSettings& tls) {
  std::optional<FtpReply> reply = m_control.Command("AUTH TLS");
  if (!reply) return Fail(reply);
  if (reply->code != 234) {
    // Never on in clear: the person chose encryption, and the password would cross in clear.
    FtpResult refused = Refusal(reply);
    m_control.Close();
    return {FtpResult::Kind::TlsRefused, refused.serverLine};
  }
  return m_control.StartTls(tls.pinnedSha256);
}

FtpResult FtpSession::ProtectData() {
  for (const char* command : {"PBSZ 0", "PROT P"}) {
    std::optional<FtpReply> reply = m_control.Command(command);
    if (!reply) return Fail(reply);
    if (!reply->Completed()) {
      FtpResult refused = Refusal(reply);
      m_control.Close();
      return {FtpResult::Kind::TlsRefused, refused.serverLine};
    }
  }
  return {};
}

FtpSession::Feat FtpSession::AskFeatures() {
  std::optional<FtpReply> reply = m_control.Command("FEAT");
  if (!reply) return Feat::Unknown;
  if (!reply->Completed()) return reply->NotImplemented() ? Feat::Unknown : Feat::Refused;
  bool utf8 = false, mlst = false, size = false;
  for (size_t i = 1; i + 1 < reply->lines.size(); ++i) {
    std::string name = FeatureName(reply->lines[i]);
    utf8 = utf8 || name == "UTF8";
    mlst = mlst || name == "MLST";
    size = size || name == "SIZE";
  }
  // A server with MLST must list it (RFC 3659), so its absence spares a round trip per file.
  m_lacks.mlst = !mlst;
  m_lacks.size = !size;
  if (utf8) {
    m_encoding = WireEncoding::Utf8;
    m_control.Command("OPTS UTF8 ON");  // many servers need no asking; the answer does not matter
  }
  return Feat::Listed;
}

FtpResult FtpSession::LogIn(const std::string& user, const std::string& password) {
  std::optional<std::string> wireUser = ToWire(user, m_encoding);
  std::optional<std::string> wirePassword = ToWire(password, m_encoding);
  if (!wireUser || !wirePassword) {
    m_control.Close();
    return FtpResult::Failed(FtpResult::Kind::AccountNotConvertible);
  }
  // Some servers echo the password in their replies; it must never reach a message box or a
  // log. As shown, a password with control characters loses them too.
  m_control.Conceal(password);
  m_control.Conceal(ReplyTextForDisplay(password, WireEncoding::Utf8));
  m_control.Conceal(*wirePassword);
  std::optional<FtpReply> reply = m_control.Command("USER " + *wireUser);
  if (reply && reply->code == 331) {
    reply = m_control.Command(wirePassword->empty() ? "PASS" : "PASS " + *wirePassword);
  }
  if (reply && (reply->code == 230 || reply->code == 202)) return {};
  return Fail(reply);
}

FtpResult FtpSession::Fail(const std::optional<FtpReply>& reply) {
  FtpResult failure = Refusal(reply);
  m_control.Close();
  return failure;
}

void FtpSession::Quit() {
  if (m_control.IsOpen()) m_control.Command("QUIT", kQuitTimeoutMs);
  m_control.Close();
}

FtpResult FtpSession::SetType(char type) {
  if (m_type == type) return {};
  std::optional<FtpReply> reply = m_control.Command(std::string("TYPE ") + type);
  if (!reply || !reply->Completed()) return Refusal(reply);
  m_type = type;
  return {};
}

FtpResult FtpSession::Refusal(const std::optional<FtpReply>& reply) const {
  if (reply) {
    return FtpResult::Refusal(m_control.Masked(ReplyTextForDisplay(reply->LastLine(), m_encoding)));
  }
  FtpResult::Kind why = m_control.Failure();
  return FtpResult::Failed(why == FtpResult::Kind::Ok ? FtpResult::Kind::ConnectionLost : why);
}

}  // namespace tolvane
