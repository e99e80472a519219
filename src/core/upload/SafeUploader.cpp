#include "upload/SafeUploader.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>

#include "ftp/FtpClient.h"
#include "upload/FailureTexts.h"

namespace tolvane {
namespace {

constexpr const char* kTemporarySuffix = ".part";
constexpr size_t kHashDigits = 16;
// A file that keeps changing is sent this many times in all before the run gives up on it.
constexpr int kSendsOfAChangingFile = 3;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

}  // namespace

SafeUploader::SafeUploader(FtpClient& ftp, bool temporaryName, std::set<std::string> listedNames)
    : SafeUploader(ftp, temporaryName, std::make_shared<SharedUploads>(listedNames)) {}

SafeUploader::SafeUploader(FtpClient& ftp, bool temporaryName,
                           std::shared_ptr<SharedUploads> shared)
    : m_ftp(ftp), m_temporaryName(temporaryName), m_shared(std::move(shared)) {}

std::string SafeUploader::TemporaryNameFor(const std::string& name, unsigned salt) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (unsigned char c : name) mix(c);
  for (int shift = 0; shift < 32; shift += 8) mix(static_cast<unsigned char>(salt >> shift));
  char digits[kHashDigits + 1];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
  return kTemporaryNameStart + std::string(digits) + kTemporarySuffix;
}

bool SafeUploader::IsTemporaryName(const std::string& name) {
  const std::string prefix = kTemporaryNameStart, suffix = kTemporarySuffix;
  if (name.size() != prefix.size() + kHashDigits + suffix.size()) return false;
  if (name.compare(0, prefix.size(), prefix) != 0) return false;
  if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return false;
  for (size_t i = prefix.size(); i < prefix.size() + kHashDigits; ++i) {
    char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

std::string SafeUploader::TemporaryName(const std::string& name) const {
  unsigned salt = 0;
  std::string temporary = TemporaryNameFor(name, salt);
  while (m_shared->IsListedName(temporary)) temporary = TemporaryNameFor(name, ++salt);
  return temporary;
}

std::optional<std::string> SafeUploader::Put(
    const std::string& folderKey, const std::string& localPath, const std::string& name,
    TransferType type, const std::optional<std::vector<std::string>>& listed) {
  SweepLeftovers(folderKey, listed);
  for (int send = 0; send < kSendsOfAChangingFile; ++send) {
    Attempt attempt = PutOnce(localPath, name, type);
    if (attempt.outcome != Outcome::Changed) return attempt.failure;
  }
  return std::string(kChangedDuringUpload);
}

SafeUploader::Attempt SafeUploader::PutOnce(const std::string& localPath, const std::string& name,
                                            TransferType type) {
  if (m_temporaryName && !m_renameRefused) {
    const std::string temporary = TemporaryName(name);
    Writing(temporary, true);
    Attempt attempt = PutAs(localPath, temporary, type);
    if (attempt.outcome != Outcome::Done) {
      Writing(temporary, false);
      return attempt;
    }
    FtpClient::RenameResult renamed = m_ftp.Rename(temporary, name);
    if (renamed == FtpClient::RenameResult::TargetRefused && m_ftp.IsConnected()) {
      // Some servers never rename onto an existing file: make way for it first.
      m_ftp.DeleteFile(name);
      renamed = m_ftp.Rename(temporary, name);
    }
    Writing(temporary, false);
    if (renamed == FtpClient::RenameResult::Done) return {Outcome::Done, std::nullopt};
    m_ftp.DeleteFile(temporary);
    if (!m_ftp.IsConnected()) return {Outcome::Failed, FailureText(m_ftp.LastFailure())};
    // This server will not let the file be replaced by renaming: put it under its name.
    m_renameRefused = true;
  }
  return PutAs(localPath, name, type);
}

SafeUploader::Attempt SafeUploader::PutAs(const std::string& localPath, const std::string& target,
                                          TransferType type) {
  struct stat before {};
  if (::stat(localPath.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) {
    return {Outcome::Failed, std::string(kFtpLocalFileUnreadable)};
  }
  FtpClient::PutReport report;
  if (FtpResult put = m_ftp.PutFile(localPath, target, type, &report); !put.Succeeded()) {
    // Whatever arrived is incomplete; the next run must find no file to trust.
    if (report.started && m_ftp.IsConnected()) m_ftp.DeleteFile(target);
    return {Outcome::Failed, FailureText(put)};
  }
  struct stat after {};
  bool changed = ::stat(localPath.c_str(), &after) != 0 || !SameFile(before, after) ||
                 report.bytesSent != static_cast<uint64_t>(before.st_size);
  if (changed) {
    m_ftp.DeleteFile(target);
    return {Outcome::Changed, std::nullopt};
  }
  if (type == TransferType::Binary) {
    std::optional<uint64_t> size = m_ftp.SizeOf(target);
    if (size && *size != report.bytesSent) {
      m_ftp.DeleteFile(target);
      return {Outcome::Failed, std::string(kSizeMismatch)};
    }
  }
  return {Outcome::Done, std::nullopt};
}

void SafeUploader::Writing(const std::string& temporary, bool on) {
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  if (on) {
    m_shared->writing.insert(temporary);
  } else {
    m_shared->writing.erase(m_shared->writing.find(temporary));
  }
}

void SafeUploader::SweepLeftovers(const std::string& folderKey,
                                  const std::optional<std::vector<std::string>>& listed) {
  if (!m_temporaryName) return;
  {
    // A folder is swept once, before anything is put into it from any connection.
    std::unique_lock<std::mutex> lock(m_shared->mutex);
    auto [sweep, first] = m_shared->sweeps.emplace(folderKey, false);
    if (!first) {
      m_shared->sweepDone.wait(lock, [&] { return sweep->second; });
      return;
    }
  }
  std::optional<std::vector<std::string>> names = listed;
  if (!names) {
    if (std::optional<std::set<std::string>> here = m_ftp.NamesHere()) {
      names.emplace(here->begin(), here->end());
    }
  }
  if (names) {
    for (const std::string& name : *names) {
      if (!IsTemporaryName(name) || m_shared->IsListedName(name)) continue;
      bool written;
      {
        std::lock_guard<std::mutex> lock(m_shared->mutex);
        written = m_shared->writing.count(name) != 0;  // another folder line, the same folder
      }
      if (!written) m_ftp.DeleteFile(name);
    }
  }
  std::lock_guard<std::mutex> lock(m_shared->mutex);
  m_shared->sweeps[folderKey] = true;
  m_shared->sweepDone.notify_all();
}

}  // namespace tolvane
