#pragma once
// Reading and checking what the settings dialogs' boxes hold before any of it is stored.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Seams.h"
#include "settings/SettingsFile.h"

namespace tolvane {

// A whole-number box: one optionally signed decimal integer at the start of the text, leading
// blanks skipped and whatever follows ignored, read from at most the first 63 bytes. nullopt
// when no number can be read, or when it does not fit a signed 32-bit number: such a number
// could only be stored wrapped or cut to something the person did not type.
std::optional<int32_t> ScanInteger(std::string_view text);

// The message for a box whose number cannot be read.
void ShowIntegerPrompt(Prompts& prompts);

// Why a text cannot be stored as a settings value (the box labelled `label` holds it), or
// nullopt when it can: code page 932 must hold it, it must fit the 255 bytes a value is read
// back with, and it must stay on one line.
std::optional<std::string> SettingTextProblem(const std::string& label, const std::string& text);

// What StorePassword would answer for `plain`, found without writing anything, so that a
// password that cannot be stored stops the OK before any other key is written. A failed write
// is the one refusal that can only show up later.
PasswordStore CheckPassword(const std::string& plain);

// One key written only when its value changed, with the record field assigned alongside.
// False when the settings file could not be written (the field then keeps its old value).
bool StoreTextSetting(const AppSettings& settings, const char* section, const char* key,
                      std::string& field, const std::string& value);
bool StoreIntSetting(const AppSettings& settings, const char* section, const char* key,
                     int32_t& field, int32_t value);

// A check box against its flag. An unchanged box never rewrites its key, even when the file
// held an unusual value such as 2 that the box shows by its meaning.
bool StoreFlagSetting(const AppSettings& settings, const char* section, const char* key,
                      uint8_t& field, bool fieldIsOn, bool checked);

// Said when a key could not be written.
inline constexpr const char* kSettingsWriteFailed = "設定ファイルに書き込めませんでした";

}  // namespace tolvane
