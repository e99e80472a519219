#include "settings/SettingFields.h"

#include "platform/Cp932.h"
#include "platform/IntegerText.h"
#include "platform/ProfileFile.h"

namespace tolvane {
namespace {

constexpr size_t kIntegerScanBytes = 63;

}  // namespace

std::optional<int32_t> ScanInteger(std::string_view text) {
  return ReadInteger(text.substr(0, kIntegerScanBytes));
}

void ShowIntegerPrompt(Prompts& prompts) {
  prompts.Show(kIntegerPrompt, kAppName, Icon::Warning, Buttons::Ok);
}

std::optional<std::string> SettingTextProblem(const std::string& label, const std::string& text) {
  const std::optional<std::string> bytes = ToCp932(text);
  if (!bytes || bytes->find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos) {
    return "「" + label + "」に使用できない文字が含まれています。\n" +
           "設定ファイル（シフトJIS）に保存できる文字だけを使ってください";
  }
  if (bytes->size() > kProfileValueMax) {
    return "「" + label + "」が長すぎます（" + std::to_string(kProfileValueMax) + "バイトまで）";
  }
  return std::nullopt;
}

PasswordStore CheckPassword(const std::string& plain) {
  // The filler never decides whether a value reads back (it is printable and never last
  // unless the password is empty), so any printable filler answers for the real one.
  return ScramblePassword(plain, 3, [](size_t n) { return std::string(n, '!'); }).result;
}

bool StoreTextSetting(const AppSettings& settings, const char* section, const char* key,
                      std::string& field, const std::string& value) {
  if (value == field) return true;
  if (!WriteSettingText(settings, section, key, value)) return false;
  field = value;
  return true;
}

bool StoreIntSetting(const AppSettings& settings, const char* section, const char* key,
                     int32_t& field, int32_t value) {
  if (value == field) return true;
  if (!WriteSettingInt(settings, section, key, value)) return false;
  field = value;
  return true;
}

bool StoreFlagSetting(const AppSettings& settings, const char* section, const char* key,
                      uint8_t& field, bool fieldIsOn, bool checked) {
  if (checked == fieldIsOn) return true;
  const int state = checked ? 1 : 0;
  if (!WriteSettingInt(settings, section, key, state)) return false;
  field = static_cast<uint8_t>(state);
  return true;
}

}  // namespace tolvane
