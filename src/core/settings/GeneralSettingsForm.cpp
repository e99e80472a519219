#include "settings/GeneralSettingsForm.h"

#include "settings/Autostart.h"
#include "settings/SettingFields.h"

namespace tolvane {

GeneralSettingsForm::GeneralSettingsForm(AppSettings& settings, Prompts& prompts)
    : m_settings(settings), m_prompts(prompts) {}

GeneralSettingsFields GeneralSettingsForm::Initial(
    const std::vector<std::string>& listNames) const {
  const AppSettings& s = m_settings;
  GeneralSettingsFields fields;
  if (!listNames.empty()) {
    fields.startIndex = 0;
    for (size_t i = 0; i < listNames.size(); ++i) {
      if (listNames[i] == s.start) fields.startIndex = static_cast<int>(i);
    }
    fields.start = listNames[static_cast<size_t>(fields.startIndex)];
  }
  fields.localfolder = s.localfolder;
  fields.editor = s.editor;
  fields.shift = AppSettings::IsOn(s.shift);
  fields.ctrl = AppSettings::IsOn(s.ctrl);
  fields.logFtp = AppSettings::IsOn(s.logFtp);
  fields.minimizeToTray = AppSettings::IsOn(s.minimizeToTray);
  fields.startInTray = AppSettings::IsOn(s.startInTray);
  fields.raiseOnScheduledRun = AppSettings::IsOn(s.raiseOnScheduledRun);
  fields.autostartAvailable = !AutostartFile(s.place).empty() && !s.place.executable.empty();
  fields.autostart = fields.autostartAvailable && AutostartIsOn(s.place);
  return fields;
}

GeneralFormStep GeneralSettingsForm::Ok(const GeneralSettingsFields& fields) {
  GeneralFormStep step;
  if (RefuseUnstorable(fields, step)) return step;
  if (!StoreKeys(fields)) {
    m_prompts.Error(kSettingsWriteFailed);
    return {false, GeneralField::None};
  }
  const ProgramPlace& place = m_settings.place;
  const bool available = !AutostartFile(place).empty() && !place.executable.empty();
  if (available && fields.autostart != AutostartIsOn(place) &&
      !SetAutostart(place, fields.autostart)) {
    m_prompts.Error("ログイン時の起動を設定できませんでした:\n" + AutostartFile(place));
    return {false, GeneralField::None};
  }
  return {true, GeneralField::None};
}

bool GeneralSettingsForm::RefuseUnstorable(const GeneralSettingsFields& fields,
                                           GeneralFormStep& step) {
  struct Text {
    const std::string* typed;  // null: nothing to store
    const std::string& stored;
    const char* label;
    GeneralField field;
  };
  const Text texts[] = {
      {&fields.localfolder, m_settings.localfolder, "ローカルの初期フォルダ",
       GeneralField::Localfolder},
      {fields.start ? &*fields.start : nullptr, m_settings.start, "起動時に表示するリスト",
       GeneralField::Start},
      {&fields.editor, m_settings.editor, "使用するエディタ", GeneralField::Editor},
  };
  for (const Text& text : texts) {
    // An unchanged text is not written, so whatever the file held stays acceptable.
    if (!text.typed || *text.typed == text.stored) continue;
    if (std::optional<std::string> problem = SettingTextProblem(text.label, *text.typed)) {
      m_prompts.Error(*problem);
      step = {false, text.field};
      return true;
    }
  }
  return false;
}

bool GeneralSettingsForm::StoreKeys(const GeneralSettingsFields& fields) {
  AppSettings& s = m_settings;
  auto flag = [&s](const char* section, const char* key, uint8_t& field, bool checked) {
    return StoreFlagSetting(s, section, key, field, AppSettings::IsOn(field), checked);
  };
  return StoreTextSetting(s, "main", "localfolder", s.localfolder, fields.localfolder) &&
         (!fields.start || StoreTextSetting(s, "main", "start", s.start, *fields.start)) &&
         StoreTextSetting(s, "main", "editor", s.editor, fields.editor) &&
         flag("main", "shift", s.shift, fields.shift) &&
         flag("main", "ctrl", s.ctrl, fields.ctrl) &&
         flag("main", "logftp", s.logFtp, fields.logFtp) &&
         flag("timer", "saisyou", s.minimizeToTray, fields.minimizeToTray) &&
         flag("timer", "kidou", s.startInTray, fields.startInTray) &&
         flag("timer", "zenmen", s.raiseOnScheduledRun, fields.raiseOnScheduledRun);
}

}  // namespace tolvane
