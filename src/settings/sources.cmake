list(APPEND TOLVANE_CORE_SOURCES
  src/settings/GeneralSettingsForm.cpp
  src/settings/ServerSettingsForm.cpp
  src/settings/SettingFields.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
  src/settings/ChostsetteiDlg.cpp
  src/settings/CsetteiDlg.cpp
)
