#include "transfer/FtpClient.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "transfer/FtpDataChannel.h"
#include "transfer/FtpEndpoint.h"
#include "transfer/FtpSession.h"
#include "transfer/FtpTexts.h"
#include "transfer/FtpWireText.h"

namespace tolvane {
namespace {

// Names this long were never found by the original lookup either (MAX_PATH).
constexpr size_t kMaxNameCharacters = 260;

size_t CharacterCount(const std::string& utf8) {
  size_t count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

// A local file to upload, open for reading; closed when it goes.
class LocalFile {
 public:
  // O_NONBLOCK: a FIFO put in the file's place must not hold open() for good.
  explicit LocalFile(const std::string& path)
      : fd_(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    struct stat st {};
    if (fd_ >= 0 && (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))) {
      close(fd_);
      fd_ = -1;
    }
  }
  ~LocalFile() {
    if (fd_ >= 0) close(fd_);
  }
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

// Marks a call in progress, so one coming back in through the pump cannot pull the session
// from under it.
class FtpClient::CallGuard {
 public:
  explicit CallGuard(FtpClient& client) : client_(client), entered_(!client.busy_) {
    client_.busy_ = true;
  }
  ~CallGuard() {
    if (!entered_) return;
    client_.busy_ = false;
    if (client_.closeWanted_) {
      client_.closeWanted_ = false;
      client_.Close();
    }
  }
  CallGuard(const CallGuard&) = delete;
  CallGuard& operator=(const CallGuard&) = delete;
  bool entered() const { return entered_; }

 private:
  FtpClient& client_;
  bool entered_;
};

FtpClient::FtpClient(FtpOptions options) : options_(std::move(options)) {}

FtpClient::~FtpClient() { Close(); }

std::optional<std::string> FtpClient::Connect(const std::string& hostField, const std::string& user,
                                              const std::string& password, bool passive) {
  CallGuard guard(*this);
  if (!guard.entered()) return std::string(kFtpBusy);
  CloseSession();
  std::optional<FtpEndpoint> endpoint = ParseHostField(hostField);
  if (!endpoint) return std::string(kFtpBadHostField);
  if (BreaksCommandLine(user) || BreaksCommandLine(password)) {
    return std::string(kFtpAccountUnsendable);
  }
  session_ = std::make_unique<FtpSession>(options_);
  std::optional<std::string> failure = session_->Open(*endpoint, user, password, passive);
  if (failure) CloseSession();
  return failure;
}

bool FtpClient::ChangeDirectory(const std::string& path) {
  CallGuard guard(*this);
  if (!guard.entered()) return false;
  std::string why;
  std::optional<std::string> wire = WireName(path, &why);
  if (!wire || wire->empty()) return false;
  session_->NamesHere().reset();
  std::optional<FtpReply> reply = session_->Control().Command("CWD " + *wire);
  return reply && reply->Completed();
}

RemoteLookup FtpClient::LookUp(const std::string& name) {
  CallGuard guard(*this);
  if (!guard.entered()) return RemoteLookup::Unknown();
  if (CharacterCount(name) >= kMaxNameCharacters) return RemoteLookup::Missing();
  std::string why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!wire) return IsConnected() ? RemoteLookup::Missing() : RemoteLookup::Unknown();
  if (wire->empty()) return RemoteLookup::Missing();
  return FindRemoteFile(*session_, *wire, static_cast<int64_t>(std::time(nullptr)));
}

std::optional<int64_t> FtpClient::FindFile(const std::string& name) {
  RemoteLookup lookup = LookUp(name);
  if (lookup.kind != RemoteLookup::Kind::Found) return std::nullopt;
  return lookup.time;
}

FolderListingWay FtpClient::ListingWay() {
  CallGuard guard(*this);
  if (!guard.entered() || !IsConnected()) return FolderListingWay::None;
  return RemoteFolderListingWay(*session_);
}

std::optional<FtpFolderListing> FtpClient::ListFolder() {
  CallGuard guard(*this);
  if (!guard.entered() || !IsConnected()) return std::nullopt;
  return ListRemoteFolder(*session_, static_cast<int64_t>(std::time(nullptr)));
}

FolderAnswer FtpClient::FindInListing(const FtpFolderListing& listing,
                                      const std::string& name) const {
  constexpr FolderAnswer kNotFound{FolderAnswer::Kind::Missing, 0};
  // The same refusals as FindFile's, before any name is compared.
  if (busy_ || CharacterCount(name) >= kMaxNameCharacters) return kNotFound;
  std::string why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!wire || wire->empty()) return kNotFound;
  return listing.Find(*wire);
}

void FtpClient::ForgetInListing(FtpFolderListing& listing, const std::string& name) const {
  std::string why;
  if (std::optional<std::string> wire = WireName(name, &why)) listing.Forget(*wire);
}

std::optional<std::string> FtpClient::PutFile(const std::string& localPath,
                                              const std::string& remoteName, TransferType type,
                                              PutReport* report) {
  if (report) *report = {};
  CallGuard guard(*this);
  if (!guard.entered()) return std::string(kFtpBusy);
  std::string why;
  std::optional<std::string> wire = WireName(remoteName, &why);
  if (!wire) return why;
  if (wire->empty()) return std::string(kFtpNameUnsendable);
  LocalFile file(localPath);
  if (file.fd() < 0) return std::string(kFtpLocalFileUnreadable);
  if (std::optional<std::string> failure =
          session_->SetType(type == TransferType::Ascii ? 'A' : 'I')) {
    return failure;
  }
  FtpDataChannel channel(*session_);
  if (std::optional<std::string> failure = channel.Start("STOR " + *wire)) return failure;
  // Whatever the outcome, a file of that name may now be there.
  session_->NameAdded(*wire);
  PutReport done{true, 0};
  std::optional<std::string> failure =
      channel.Upload(file.fd(), type == TransferType::Ascii, done.bytesSent);
  if (report) *report = done;
  return failure;
}

bool FtpClient::DeleteFile(const std::string& name) {
  CallGuard guard(*this);
  if (!guard.entered()) return false;
  std::string why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!wire || wire->empty()) return false;
  std::optional<FtpReply> reply = session_->Control().Command("DELE " + *wire);
  if (!reply || !reply->Completed()) return false;
  session_->NameRemoved(*wire);
  return true;
}

FtpClient::RenameResult FtpClient::Rename(const std::string& from, const std::string& to) {
  CallGuard guard(*this);
  std::string why;
  std::optional<std::string> wireFrom = WireName(from, &why);
  std::optional<std::string> wireTo = WireName(to, &why);
  if (!guard.entered() || !wireFrom || !wireTo || wireFrom->empty() || wireTo->empty()) {
    return RenameResult::TargetRefused;
  }
  if (session_->Lacks().rename) return RenameResult::Unsupported;
  FtpControl& control = session_->Control();
  std::optional<FtpReply> reply = control.Command("RNFR " + *wireFrom);
  if (!reply) return RenameResult::TargetRefused;
  if (reply->code != 350) {
    // The file was just put, so a refusal here is a refusal of renaming itself.
    session_->Lacks().rename = reply->RefusesCommand() || reply->code == 553;
    return session_->Lacks().rename ? RenameResult::Unsupported : RenameResult::TargetRefused;
  }
  reply = control.Command("RNTO " + *wireTo);
  if (!reply) return RenameResult::TargetRefused;
  if (reply->NotImplemented()) {
    session_->Lacks().rename = true;
    return RenameResult::Unsupported;
  }
  if (!reply->Completed()) return RenameResult::TargetRefused;
  session_->NameRemoved(*wireFrom);
  session_->NameAdded(*wireTo);
  return RenameResult::Done;
}

std::optional<uint64_t> FtpClient::SizeOf(const std::string& name) {
  CallGuard guard(*this);
  std::string why;
  std::optional<std::string> wire = WireName(name, &why);
  if (!guard.entered() || !wire || wire->empty() || session_->Lacks().size) return std::nullopt;
  std::optional<FtpReply> reply = session_->Control().Command("SIZE " + *wire);
  if (!reply || reply->code != 213) {
    if (reply && reply->NotImplemented()) session_->Lacks().size = true;
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
  if (!LearnNamesHere(*session_, static_cast<int64_t>(std::time(nullptr)))) return std::nullopt;
  return session_->NamesHere();
}

void FtpClient::Close() {
  CallGuard guard(*this);
  if (!guard.entered()) {
    closeWanted_ = true;
    return;
  }
  CloseSession();
}

void FtpClient::CloseSession() {
  if (!session_) return;
  session_->Quit();
  previousCommands_ += session_->Control().CommandCount();
  session_.reset();
}

bool FtpClient::IsConnected() const { return session_ && session_->IsOpen(); }

uint64_t FtpClient::CommandCount() const {
  return previousCommands_ + (session_ ? session_->Control().CommandCount() : 0);
}

std::optional<std::string> FtpClient::WireName(const std::string& name, std::string* why) const {
  if (!IsConnected()) {
    *why = NotConnectedText();
    return std::nullopt;
  }
  if (BreaksCommandLine(name)) {
    *why = kFtpNameUnsendable;
    return std::nullopt;
  }
  std::optional<std::string> wire = ToWire(name, session_->Encoding());
  if (!wire) *why = kFtpNameNotConvertible;
  return wire;
}

std::string FtpClient::NotConnectedText() const {
  if (session_ && !session_->Control().Failure().empty()) return session_->Control().Failure();
  return kFtpNotConnected;
}

}  // namespace tolvane
