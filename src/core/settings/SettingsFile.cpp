#include "settings/SettingsFile.h"

#include <algorithm>

#include <optional>
#include <random>

#include "platform/Cp932.h"
#include "platform/ProfileFile.h"
#include "settings/PasswordScrambler.h"

namespace tolvane {
namespace {

// The settings file holds the password: only its owner may read it.
constexpr unsigned kSettingsMode = 0600;

std::string Text(const ProfileFile& file, const char* section, const char* key) {
  return FromCp932(file.GetString(section, key));
}

uint8_t Flag(const ProfileFile& file, const char* section, const char* key, int fallback) {
  return static_cast<uint8_t>(file.GetInt(section, key, fallback) & 0xFF);
}

// Random bytes a settings value can hold anywhere: printable ASCII, never a blank, a digit
// (a digit right after k0 would lengthen the leading number) or a line break.
std::string RandomFiller(std::mt19937& rng, size_t count) {
  static constexpr std::string_view kPool =
      "!\"#$%&'()*+,-./:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";
  std::uniform_int_distribution<size_t> pick(0, kPool.size() - 1);
  std::string bytes;
  for (size_t i = 0; i < count; ++i) bytes += kPool[pick(rng)];
  return bytes;
}

}  // namespace

void LoadSettings(AppSettings& s) {
  ProfileFile file = ProfileFile::Load(s.iniPath);
  s.hostname = Text(file, "main", "hostname");
  s.username = Text(file, "main", "username");
  s.password = FromCp932(Unscramble(file.GetString("main", "data")));
  s.serverfolder = Text(file, "main", "serverfolder");
  s.localfolder = Text(file, "main", "localfolder");
  s.start = Text(file, "main", "start");
  s.editor = Text(file, "main", "editor");
  s.passiveMode = Flag(file, "main", "pasv", 1);
  s.temporaryNames = Flag(file, "main", "tempname", 1);
  s.clockCorrectionMinutes = file.GetInt("main", "stime", 0);
  s.shift = Flag(file, "main", "shift", 0);
  s.ctrl = Flag(file, "main", "ctrl", 0);
  s.logFtp = Flag(file, "main", "logftp", 0);
  s.connections = std::clamp(file.GetInt("main", "connections", 2), 1, kMaxConnections);
  s.encryption = Flag(file, "main", "tls", 0);
  s.pinnedCertificate = Text(file, "main", "tlspin");
  s.pinnedCertificateHost = Text(file, "main", "tlspinhost");
  s.timer = Flag(file, "timer", "timer", 0);
  s.minimizeToTray = Flag(file, "timer", "saisyou", 0);
  s.startInTray = Flag(file, "timer", "kidou", 0);
  s.raiseOnScheduledRun = Flag(file, "timer", "zenmen", 0);
}

bool WriteSettingText(const AppSettings& settings, const std::string& section,
                      const std::string& key, const std::string& text) {
  std::optional<std::string> bytes = ToCp932(text);
  if (!bytes) return false;
  return WriteProfileString(settings.iniPath, section, key, *bytes, kSettingsMode);
}

bool WriteSettingInt(const AppSettings& settings, const std::string& section,
                     const std::string& key, int value) {
  return WriteProfileString(settings.iniPath, section, key, std::to_string(value), kSettingsMode);
}

ScrambledPassword ScramblePassword(const std::string& plain, int firstStart,
                                   const std::function<std::string(size_t)>& filler) {
  std::optional<std::string> bytes = ToCp932(plain);
  if (!bytes) return {PasswordStore::Unencodable, {}, 0};
  if (bytes->size() + 4 > kProfileValueMax) return {PasswordStore::TooLong, {}, 0};
  for (int i = 0; i < 5; ++i) {
    int k0 = (firstStart - 3 + i) % 5 + 3;
    std::string value = ScrambleWithKey(*bytes, k0, filler(static_cast<size_t>(k0)));
    if (ReadsBackWhole(value) && Unscramble(value) == *bytes) {
      return {PasswordStore::Ok, value, bytes->size()};
    }
  }
  return {PasswordStore::Unstorable, {}, 0};
}

bool StoreCertificatePin(AppSettings& settings, const std::string& sha256) {
  // The host first: a pin written without it counts for no server.
  if (!WriteSettingText(settings, "main", "tlspinhost", settings.hostname) ||
      !WriteSettingText(settings, "main", "tlspin", sha256)) {
    return false;
  }
  settings.pinnedCertificateHost = settings.hostname;
  settings.pinnedCertificate = sha256;
  return true;
}

bool ForgetCertificatePin(AppSettings& settings) {
  if (settings.pinnedCertificate.empty() && settings.pinnedCertificateHost.empty()) return true;
  if (!WriteSettingText(settings, "main", "tlspin", "") ||
      !WriteSettingText(settings, "main", "tlspinhost", "")) {
    return false;
  }
  settings.pinnedCertificate.clear();
  settings.pinnedCertificateHost.clear();
  return true;
}

PasswordStore StorePassword(const AppSettings& settings, const std::string& plain) {
  std::mt19937 rng(std::random_device{}());
  const int firstStart = std::uniform_int_distribution<int>(3, 7)(rng);
  const ScrambledPassword scrambled =
      ScramblePassword(plain, firstStart, [&rng](size_t n) { return RandomFiller(rng, n); });
  if (scrambled.result != PasswordStore::Ok) return scrambled.result;

  const std::string pasword = RandomFiller(rng, scrambled.length);
  if (!WriteProfileString(settings.iniPath, "main", "pasword", pasword, kSettingsMode) ||
      !WriteProfileString(settings.iniPath, "main", "data", scrambled.data, kSettingsMode)) {
    return PasswordStore::Failed;
  }
  return PasswordStore::Ok;
}

std::string PasswordStoreMessage(PasswordStore result) {
  switch (result) {
    case PasswordStore::Ok:
      return std::string();
    case PasswordStore::Unencodable:
      return "パスワードに使えない文字が含まれています";
    case PasswordStore::TooLong:
      return "パスワードが長すぎます（251バイトまで）";
    case PasswordStore::Unstorable:
      return "このパスワードは保存できません。制御文字を含まないパスワードにしてください";
    case PasswordStore::Failed:
      return "設定ファイルに書き込めませんでした";
  }
  return std::string();
}

}  // namespace tolvane
