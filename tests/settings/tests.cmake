list(APPEND CORE_TEST_SOURCES
  settings/AutostartTest.cpp
  settings/GeneralSettingsFormTest.cpp
  settings/ServerSettingsFormTest.cpp
  settings/SettingFieldsTest.cpp
)

tolvane_gui_test(server_settings_dialog_test settings/ServerSettingsDialogTest.cpp)
tolvane_gui_test(general_settings_dialog_test settings/GeneralSettingsDialogTest.cpp)
tolvane_gui_test(settings_menu_test settings/SettingsMenuTest.cpp)
