#pragma once
// Reading the settings file into the record, and the single-key writes of the dialogs.
#include <functional>
#include <string>

#include "settings/AppSettings.h"

namespace tolvane {

// Every key, in a fixed order, from settings.iniPath into the record; missing keys take
// their defaults. `data` is unscrambled into `password`.
void LoadSettings(AppSettings& settings);

// One key of kestra.ini (section "main" or "timer"). Text is stored in code page 932; false
// when it cannot be held there (nothing is written then) or the write failed. The file is
// always readable by its owner only.
bool WriteSettingText(const AppSettings& settings, const std::string& section,
                      const std::string& key, const std::string& text);
bool WriteSettingInt(const AppSettings& settings, const std::string& section,
                     const std::string& key, int value);

// Pins the certificate with SHA-256 `sha256` for the current server setting (`tlspin`,
// `tlspinhost`), or forgets the pin; false when the file could not be written.
bool StoreCertificatePin(AppSettings& settings, const std::string& sha256);
bool ForgetCertificatePin(AppSettings& settings);

enum class PasswordStore {
  Ok,
  Unencodable,  // not representable in code page 932
  TooLong,      // would not read back whole from a 255-byte value
  Unstorable,   // scrambles to bytes a settings value cannot hold, for every key
  Failed,       // the file could not be written
};

// The `data` value that stores `plain`, or why none can. Some passwords scramble into a byte
// the file cannot hold for one step start but not for another, so every start is tried,
// beginning with `firstStart` (3 to 7); `filler(n)` gives the n filler bytes of a start.
struct ScrambledPassword {
  PasswordStore result = PasswordStore::Ok;
  std::string data;
  size_t length = 0;  // of the password in code page 932
};
ScrambledPassword ScramblePassword(const std::string& plain, int firstStart,
                                   const std::function<std::string(size_t)>& filler);

// Writes `pasword` (random bytes) and then `data` (the scrambled password). Does not touch
// the record; the caller assigns `password` when this returns Ok.
PasswordStore StorePassword(const AppSettings& settings, const std::string& plain);

// The message shown when a password cannot be stored (empty for Ok).
std::string PasswordStoreMessage(PasswordStore result);

}  // namespace tolvane
