#include "settings/ServerSettingsForm.h"

#include <algorithm>

#include <optional>

#include "platform/AsciiText.h"
#include "settings/AsciiModeTable.h"
#include "settings/SettingFields.h"
#include "settings/SettingsFile.h"

namespace tolvane {
namespace {

constexpr const char* kItemPrefix = "*.";

// The stored `tls` as the choice shows it: an unknown value is taken as explicit FTPS.
int EncryptionChoice(uint8_t stored) { return stored == 0 || stored == 2 ? stored : 1; }

}  // namespace

ServerSettingsForm::ServerSettingsForm(AppSettings& settings, std::vector<std::string>& asciiExts,
                                       Prompts& prompts)
    : m_settings(settings), m_asciiExts(asciiExts), m_prompts(prompts) {
  for (const std::string& ext : m_asciiExts) m_items.push_back(kItemPrefix + ext);
}

ServerSettingsFields ServerSettingsForm::Initial() const {
  return {m_settings.hostname,
          m_settings.username,
          m_settings.password,
          m_settings.serverfolder,
          std::to_string(m_settings.clockCorrectionMinutes),
          m_settings.passiveMode != 0,
          m_settings.temporaryNames != 0,
          EncryptionChoice(m_settings.encryption),
          false,
          m_settings.connections};
}

std::string ServerSettingsForm::PinText() const {
  const std::string pin = PinnedCertificateForHost(m_settings);
  if (pin.empty()) return NoPinText();
  return "記憶した証明書 SHA-256 " + pin.substr(0, 16) + "…";
}

ServerFormStep ServerSettingsForm::Add(const ServerSettingsFields& fields,
                                       const std::string& extension, bool& added) {
  added = false;
  ServerFormStep step;
  if (!ScanInteger(fields.minutes)) {
    ShowIntegerPrompt(m_prompts);
    step.focus = ServerField::Minutes;
  }
  // mode.ini is code page 932 too: refuse here rather than fail the whole file at OK.
  if (std::optional<std::string> problem = SettingTextProblem("追加する拡張子", extension)) {
    m_prompts.Error(*problem);
    return {false, ServerField::Extension};
  }
  const std::string item = kItemPrefix + extension;
  for (const std::string& existing : m_items) {
    if (EqualsIgnoringAsciiCase(existing, item)) {
      m_prompts.Error("この拡張子はすでに設定されています");
      return step;
    }
  }
  m_items.push_back(item);
  m_modeChanged = true;
  added = true;
  return step;
}

bool ServerSettingsForm::Delete(int index) {
  if (index < 0 || index >= static_cast<int>(m_items.size())) return false;
  m_items.erase(m_items.begin() + index);
  m_modeChanged = true;
  return true;
}

ServerFormStep ServerSettingsForm::Ok(const ServerSettingsFields& fields) {
  ServerFormStep step;
  if (RefuseUnstorable(fields, step)) return step;
  const std::optional<int32_t> minutes = ScanInteger(fields.minutes);
  if (!minutes) ShowIntegerPrompt(m_prompts);
  if (!StoreKeys(fields, minutes, step)) return step;
  if (m_modeChanged) {
    // A file that cannot be written keeps the dialog open with the edited list, so the
    // person can try again or cancel instead of losing the edits.
    if (!SaveAsciiExtensions(m_settings, m_items, m_asciiExts, m_prompts)) {
      return {false, ServerField::None};
    }
    m_modeChanged = false;
  }
  if (!minutes) return {false, ServerField::Minutes};
  return {true, ServerField::None};
}

bool ServerSettingsForm::RefuseUnstorable(const ServerSettingsFields& fields,
                                          ServerFormStep& step) {
  struct Text {
    const std::string& typed;
    const std::string& stored;
    const char* label;
    ServerField field;
  };
  const Text texts[] = {
      {fields.hostname, m_settings.hostname, "サーバー名", ServerField::Hostname},
      {fields.username, m_settings.username, "ユーザー名", ServerField::Username},
      {fields.serverfolder, m_settings.serverfolder, "サーバーの初期フォルダ",
       ServerField::Serverfolder},
  };
  for (const Text& text : texts) {
    // An unchanged text is not written, so whatever the file held stays acceptable.
    if (text.typed == text.stored) continue;
    if (std::optional<std::string> problem = SettingTextProblem(text.label, text.typed)) {
      m_prompts.Error(*problem);
      step = {false, text.field};
      return true;
    }
  }
  if (fields.password != m_settings.password) {
    const PasswordStore check = CheckPassword(fields.password);
    if (check != PasswordStore::Ok) {
      m_prompts.Error(PasswordStoreMessage(check));
      step = {false, ServerField::Password};
      return true;
    }
  }
  return false;
}

bool ServerSettingsForm::StoreEncryption(int choice) {
  if (choice < 0 || choice > 2 || choice == EncryptionChoice(m_settings.encryption)) return true;
  if (!WriteSettingInt(m_settings, "main", "tls", choice)) return false;
  m_settings.encryption = static_cast<uint8_t>(choice);
  return true;
}

bool ServerSettingsForm::StoreKeys(const ServerSettingsFields& fields,
                                   const std::optional<int32_t>& minutes, ServerFormStep& step) {
  AppSettings& s = m_settings;
  const bool forgetPin = fields.forgetPin || fields.hostname != s.hostname;
  bool ok = StoreTextSetting(s, "main", "hostname", s.hostname, fields.hostname) &&
            StoreTextSetting(s, "main", "username", s.username, fields.username);
  if (ok && fields.password != s.password) {
    const PasswordStore stored = StorePassword(s, fields.password);
    if (stored != PasswordStore::Ok) {
      m_prompts.Error(PasswordStoreMessage(stored));
      step = {false, ServerField::Password};
      return false;
    }
    s.password = fields.password;
  }
  ok = ok && StoreTextSetting(s, "main", "serverfolder", s.serverfolder, fields.serverfolder) &&
       (!minutes || StoreIntSetting(s, "main", "stime", s.clockCorrectionMinutes, *minutes)) &&
       StoreFlagSetting(s, "main", "pasv", s.passiveMode, s.passiveMode != 0, fields.passiveMode) &&
       StoreFlagSetting(s, "main", "tempname", s.temporaryNames, s.temporaryNames != 0,
                        fields.temporaryNames) &&
       StoreEncryption(fields.encryption) &&
       StoreIntSetting(s, "main", "connections", s.connections,
                       std::clamp(fields.connections, 1, kMaxConnections)) &&
       (!forgetPin || ForgetCertificatePin(s));
  if (!ok) {
    m_prompts.Error(kSettingsWriteFailed);
    step = {false, ServerField::None};
  }
  return ok;
}

}  // namespace tolvane
