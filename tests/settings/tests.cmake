list(APPEND CORE_TEST_SOURCES
  settings/GeneralSettingsFormTest.cpp
  settings/ServerSettingsFormTest.cpp
  settings/SettingFieldsTest.cpp
)

tolvane_gui_test(chostsetteidlg_test settings/ChostsetteiDlgTest.cpp)
tolvane_gui_test(csetteidlg_test settings/CsetteiDlgTest.cpp)
tolvane_gui_test(settings_menu_test settings/SettingsMenuTest.cpp)
