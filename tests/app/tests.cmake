list(APPEND CORE_TEST_SOURCES
  app/PasswordTest.cpp
  app/ProgramStartTest.cpp
  app/SettingsFileTest.cpp
)
tolvane_gui_test(main_window_start_test app/MainWindowStartTest.cpp)
tolvane_gui_test(main_window_tray_test app/MainWindowTrayTest.cpp)
tolvane_gui_test(dialog_frame_test app/DialogFrameTest.cpp)
tolvane_gui_test(preview_window_test app/PreviewWindowTest.cpp)
