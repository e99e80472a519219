list(APPEND CORE_TEST_SOURCES
  app/PasswordTest.cpp
  app/ProgramStartTest.cpp
  app/SettingsFileTest.cpp
)
tolvane_gui_test(cmaindlg_start_test app/CmainDlgStartTest.cpp)
tolvane_gui_test(cmaindlg_tray_test app/CmainDlgTrayTest.cpp)
tolvane_gui_test(dialog_frame_test app/DialogFrameTest.cpp)
