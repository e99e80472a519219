list(APPEND TOLVANE_CORE_SOURCES
  src/core/settings/AppSettings.cpp
  src/core/settings/AsciiModeTable.cpp
  src/core/settings/Autostart.cpp
  src/core/settings/GeneralSettingsForm.cpp
  src/core/settings/PasswordScrambler.cpp
  src/core/settings/ServerSettingsForm.cpp
  src/core/settings/SettingFields.cpp
  src/core/settings/SettingsFile.cpp
)
