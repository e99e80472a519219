#include "ftp/FtpClient.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ftp/FtpDataChannel.h"
#include "ftp/FtpEndpoint.h"
#include "ftp/FtpSession.h"
#include "ftp/FtpWireText.h"
#include "platform/SystemClock.h"

namespace tolvane {
namespace {

using Kind = FtpResult::Kind;

// A local file to upload, open for reading; closed when it goes.
class LocalFile {
 public:
  // O_NONBLOCK: a FIFO put in the file's place must not hold open() for good.
  explicit LocalFile(const std::string& path)
      : m_fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    struct stat st {};
    if (m_fd >= 0 && (fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
      close(m_fd);
      m_fd = -1;
    }
  }
  ~LocalFile() {
    if (m_fd >= 0) close(m_fd);
  }
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;
  int fd() const { return m_fd; }

 private:
  int m_fd;
};

// The path of a 257 reply, '257 "/a ""b"" c" is the current directory': between the first
// quote and the next one that is not doubled, a doubled quote standing for one.
std::optional<std::string> QuotedDirectory(const std::string& line) {
  size_t at = line.find('"');
  if (at == std::string::npos) return std::nullopt;
  std::string path;
  for (++at; at < line.size(); ++at) {
    if (line[at] != '"') {
      path += line[at];
    } else if (at + 1 < line.size() && line[at + 1] == '"') {
      path += '"';
      ++at;
    } else {
      return path;
    }
  }
  return std::nullopt;
}

}  // namespace

// Marks a call in progress, so one coming back in through the pump cannot pull the session
// from under it.
class FtpClient::CallGuard {
 public:
  explicit CallGuard(FtpClient& client) : m_client(client), m_entered(!client.m_busy) {
    m_client.m_busy = true;
  }
  ~CallGuard() {
    if (!m_entered) return;
    m_client.m_busy = false;
    if (m_client.m_closeWanted) {
      m_client.m_closeWanted = false;
      m_client.Close();
    }
  }
  CallGuard(const CallGuard&) = delete;
  CallGuard& operator=(const CallGuard&) = delete;
  bool entered() const { return m_entered; }

 private:
  FtpClient& m_client;
  bool m_entered;
};

FtpClient::FtpClient(FtpOptions options) : m_options(std::move(options)) {}

FtpClient::~FtpClient() { Close(); }

FtpResult FtpClient::Connect(const std::string& hostField, const std::string& user,
                             const std::string& password, bool passive, const FtpTlsSettings& tls) {
  CallGuard guard(*this);
  if (!guard.entered()) return FtpResult::Failed(Kind::Busy);
  CloseSession();
  m_certificate.reset();
  constexpr int kImplicitTlsPort = 990;
  std::optional<FtpEndpoint> endpoint =
      ParseHostField(hostField, tls.encryption == FtpEncryption::Implicit ? kImplicitTlsPort : 21);
  if (!endpoint) return FtpResult::Failed(Kind::BadHostField);
  if (BreaksCommandLine(user) || BreaksCommandLine(password)) {
    return FtpResult::Failed(Kind::AccountUnsendable);
  }
  m_session = std::make_unique<FtpSession>(m_options);
  FtpResult result = m_session->Open(*endpoint, user, password, passive, tls);
  m_certificate = m_session->Control().Certificate();
  if (!result.Succeeded()) CloseSession();
  return result;
}

bool FtpClient::ChangeDirectory(const std::string& path) {
  CallGuard guard(*this);
  if (!guard.entered()) return false;
  FtpResult why;
  std::optional<std::string> wire = WireName(path, &why);
  if (!wire || wire->empty()) return false;
  m_session->NamesHere().reset();
  std::optional<FtpReply> reply = m_session->Control().Command("CWD " + *wire);
  return reply && reply->Completed();
}

std::optional<std::string> FtpClient::WorkingDirectory() {
  CallGuard guard(*this);
  if (!guard.entered() || !IsConnected()) return std::nullopt;
  std::optional<FtpReply> reply = m_session->Control().Command("PWD");
  if (!reply || reply->code != 257) return std::nullopt;
  return QuotedDirectory(reply->lines.front());
}

RemoteLookup FtpClient::LookUp(const std::string& name) {
  m_lookUpRefusal.clear();
  CallGuard guard(*this);
  if (!guard.entered()) return RemoteLookup::Unknown();
  FtpResult why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!wire) return IsConnected() ? RemoteLookup::Missing() : RemoteLookup::Unknown();
  if (wire->empty()) return RemoteLookup::Missing();
  m_session->Control().ForgetRefusal();
  RemoteLookup lookup = FindRemoteFile(*m_session, *wire, Now());
  const std::optional<FtpReply>& refusal = m_session->Control().LastRefusal();
  if (lookup.kind == RemoteLookup::Kind::Unknown && refusal && IsConnected()) {
    m_lookUpRefusal = m_session->Refusal(refusal).serverLine;
  }
  return lookup;
}

std::optional<int64_t> FtpClient::FindFile(const std::string& name) {
  RemoteLookup lookup = LookUp(name);
  if (lookup.kind != RemoteLookup::Kind::Found) return std::nullopt;
  return lookup.time;
}

FolderListingWay FtpClient::ListingWay() {
  CallGuard guard(*this);
  if (!guard.entered() || !IsConnected()) return FolderListingWay::None;
  return RemoteFolderListingWay(*m_session);
}

std::optional<FtpFolderListing> FtpClient::ListFolder(const std::string& path) {
  CallGuard guard(*this);
  if (!guard.entered() || !IsConnected()) return std::nullopt;
  FtpResult why;
  std::optional<std::string> wire = WireName(path, &why);
  if (!wire) return std::nullopt;
  return ListRemoteFolder(*m_session, Now(), *wire);
}

FolderAnswer FtpClient::FindInListing(const FtpFolderListing& listing,
                                      const std::string& name) const {
  constexpr FolderAnswer kNotFound{FolderAnswer::Kind::Missing, 0, TimeBasis::Utc};
  // The same refusals as FindFile's, before any name is compared.
  if (m_busy) return kNotFound;
  FtpResult why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!wire || wire->empty()) return kNotFound;
  return listing.Find(*wire);
}

void FtpClient::ForgetInListing(FtpFolderListing& listing, const std::string& name) const {
  FtpResult why;
  if (std::optional<std::string> wire = WireName(name, &why)) listing.Forget(*wire);
}

FtpResult FtpClient::PutFile(const std::string& localPath, const std::string& remoteName,
                             TransferType type, PutReport* report) {
  if (report) *report = {};
  CallGuard guard(*this);
  if (!guard.entered()) return FtpResult::Failed(Kind::Busy);
  FtpResult why;
  std::optional<std::string> wire = WireName(remoteName, &why);
  if (!wire) return why;
  if (wire->empty()) return FtpResult::Failed(Kind::NameUnsendable);
  LocalFile file(localPath);
  if (file.fd() < 0) return FtpResult::Failed(Kind::LocalFileUnreadable);
  FtpResult typeSet = m_session->SetType(type == TransferType::Ascii ? 'A' : 'I');
  if (!typeSet.Succeeded()) return typeSet;
  FtpDataChannel channel(*m_session);
  if (FtpResult started = channel.Start("STOR " + *wire); !started.Succeeded()) return started;
  // Whatever the outcome, a file of that name may now be there.
  m_session->NameAdded(*wire);
  PutReport done{true, 0};
  FtpResult result = channel.Upload(file.fd(), type == TransferType::Ascii, done.bytesSent);
  if (report) *report = done;
  return result;
}

bool FtpClient::DeleteFile(const std::string& name) {
  CallGuard guard(*this);
  if (!guard.entered()) return false;
  FtpResult why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!wire || wire->empty()) return false;
  std::optional<FtpReply> reply = m_session->Control().Command("DELE " + *wire);
  if (!reply || !reply->Completed()) return false;
  m_session->NameRemoved(*wire);
  return true;
}

FtpClient::RenameResult FtpClient::Rename(const std::string& from, const std::string& to) {
  CallGuard guard(*this);
  FtpResult why;
  std::optional<std::string> wireFrom = WireName(from, &why);
  std::optional<std::string> wireTo = WireName(to, &why);
  if (!guard.entered() || !wireFrom || !wireTo || wireFrom->empty() || wireTo->empty()) {
    return RenameResult::TargetRefused;
  }
  if (m_session->Lacks().rename) return RenameResult::Unsupported;
  // Both commands go at once: a refused RNFR only makes the server refuse the RNTO as out of
  // sequence, and every rename saves a round trip.
  auto [fromReply, reply] =
      m_session->Control().CommandPair("RNFR " + *wireFrom, "RNTO " + *wireTo);
  if (!fromReply) return RenameResult::TargetRefused;
  if (fromReply->code != 350) {
    // The file was just put, so a refusal here is a refusal of renaming itself.
    m_session->Lacks().rename = fromReply->RefusesCommand() || fromReply->code == 553;
    return m_session->Lacks().rename ? RenameResult::Unsupported : RenameResult::TargetRefused;
  }
  if (!reply) return RenameResult::TargetRefused;
  if (reply->NotImplemented()) {
    m_session->Lacks().rename = true;
    return RenameResult::Unsupported;
  }
  if (!reply->Completed()) return RenameResult::TargetRefused;
  m_session->NameRemoved(*wireFrom);
  m_session->NameAdded(*wireTo);
  return RenameResult::Done;
}

std::optional<uint64_t> FtpClient::SizeOf(const std::string& name) {
  CallGuard guard(*this);
  FtpResult why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!guard.entered() || !wire || wire->empty() || m_session->Lacks().size) return std::nullopt;
  std::optional<FtpReply> reply = m_session->Control().Command("SIZE " + *wire);
  if (!reply || reply->code != 213) {
    if (reply && reply->NotImplemented()) m_session->Lacks().size = true;
    return std::nullopt;
  }
  const std::string& line = reply->LastLine();
  size_t digits = line.find_first_of("0123456789", 3);
  if (digits == std::string::npos) return std::nullopt;
  uint64_t size = 0;
  for (size_t i = digits; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
    if (size > (UINT64_MAX - 9) / 10) return std::nullopt;
    size = size * 10 + static_cast<uint64_t>(line[i] - '0');
  }
  return size;
}

std::optional<std::set<std::string>> FtpClient::NamesHere() {
  CallGuard guard(*this);
  if (!guard.entered() || !IsConnected()) return std::nullopt;
  if (!LearnNamesHere(*m_session, Now())) return std::nullopt;
  return m_session->NamesHere();
}

void FtpClient::Close() {
  CallGuard guard(*this);
  if (!guard.entered()) {
    m_closeWanted = true;
    return;
  }
  CloseSession();
}

void FtpClient::CloseSession() {
  if (!m_session) return;
  m_session->Quit();
  m_previousCommands += m_session->Control().CommandCount();
  m_session.reset();
}

bool FtpClient::IsConnected() const { return m_session && m_session->IsOpen(); }

uint64_t FtpClient::CommandCount() const {
  return m_previousCommands + (m_session ? m_session->Control().CommandCount() : 0);
}

std::optional<std::string> FtpClient::WireName(const std::string& name, FtpResult* why) const {
  if (!IsConnected()) {
    *why = NotConnected();
    return std::nullopt;
  }
  if (BreaksCommandLine(name)) {
    *why = FtpResult::Failed(Kind::NameUnsendable);
    return std::nullopt;
  }
  std::optional<std::string> wire = ToWire(name, m_session->Encoding());
  if (!wire) *why = FtpResult::Failed(Kind::NameNotConvertible);
  return wire;
}

FtpResult FtpClient::NotConnected() const {
  if (m_session && m_session->Control().Failure() != Kind::Ok) {
    return FtpResult::Failed(m_session->Control().Failure());
  }
  return FtpResult::Failed(Kind::NotConnected);
}

int64_t FtpClient::Now() const {
  return (m_options.clock ? *m_options.clock : TheSystemClock()).Now();
}

}  // namespace tolvane
