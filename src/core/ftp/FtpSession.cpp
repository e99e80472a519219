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
                           const std::string& password, bool passive) {
  passive_ = passive;
  if (FtpResult opened = control_.Open(endpoint); !opened.Succeeded()) return opened;
  std::optional<FtpReply> greeting = control_.FinalReply(control_.NextReply());  // past 120
  if (!greeting || greeting->code != 220) return Fail(greeting);
  // Features first: whether the server speaks UTF-8 decides how the account is sent.
  Feat feat = AskFeatures();
  if (!control_.IsOpen()) return FtpResult::Failed(control_.Failure());
  if (FtpResult loggedIn = LogIn(user, password); !loggedIn.Succeeded()) return loggedIn;
  if (feat == Feat::Refused) AskFeatures();  // some servers answer FEAT only after login
  if (!control_.IsOpen()) return FtpResult::Failed(control_.Failure());
  return {};
}

FtpSession::Feat FtpSession::AskFeatures() {
  std::optional<FtpReply> reply = control_.Command("FEAT");
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
  lacks_.mlst = !mlst;
  lacks_.size = !size;
  if (utf8) {
    encoding_ = WireEncoding::Utf8;
    control_.Command("OPTS UTF8 ON");  // many servers need no asking; the answer does not matter
  }
  return Feat::Listed;
}

FtpResult FtpSession::LogIn(const std::string& user, const std::string& password) {
  std::optional<std::string> wireUser = ToWire(user, encoding_);
  std::optional<std::string> wirePassword = ToWire(password, encoding_);
  if (!wireUser || !wirePassword) {
    control_.Close();
    return FtpResult::Failed(FtpResult::Kind::AccountNotConvertible);
  }
  // Some servers echo the password in their replies; it must never reach a message box or a
  // log. As shown, a password with control characters loses them too.
  control_.Conceal(password);
  control_.Conceal(ReplyTextForDisplay(password, WireEncoding::Utf8));
  control_.Conceal(*wirePassword);
  std::optional<FtpReply> reply = control_.Command("USER " + *wireUser);
  if (reply && reply->code == 331) {
    reply = control_.Command(wirePassword->empty() ? "PASS" : "PASS " + *wirePassword);
  }
  if (reply && (reply->code == 230 || reply->code == 202)) return {};
  return Fail(reply);
}

FtpResult FtpSession::Fail(const std::optional<FtpReply>& reply) {
  FtpResult failure = Refusal(reply);
  control_.Close();
  return failure;
}

void FtpSession::Quit() {
  if (control_.IsOpen()) control_.Command("QUIT", kQuitTimeoutMs);
  control_.Close();
}

FtpResult FtpSession::SetType(char type) {
  if (type_ == type) return {};
  std::optional<FtpReply> reply = control_.Command(std::string("TYPE ") + type);
  if (!reply || !reply->Completed()) return Refusal(reply);
  type_ = type;
  return {};
}

FtpResult FtpSession::Refusal(const std::optional<FtpReply>& reply) const {
  if (reply) {
    return FtpResult::Refusal(control_.Masked(ReplyTextForDisplay(reply->LastLine(), encoding_)));
  }
  FtpResult::Kind why = control_.Failure();
  return FtpResult::Failed(why == FtpResult::Kind::Ok ? FtpResult::Kind::ConnectionLost : why);
}

}  // namespace tolvane
