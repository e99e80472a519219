list(APPEND CORE_TEST_SOURCES
  app/PasswordTest.cpp
  app/ProgramFolderTest.cpp
  app/ProgramStartTest.cpp
  app/SettingsFileTest.cpp
)
tolvane_gui_test(main_window_start_test app/MainWindowStartTest.cpp)
tolvane_gui_test(main_window_tray_test app/MainWindowTrayTest.cpp)
tolvane_gui_test(dialog_frame_test app/DialogFrameTest.cpp)

# The real executable without a display.
tolvane_program_test(command_line_test app/CommandLineTest.cpp TIMEOUT 120)
tolvane_gui_test(preview_window_test app/PreviewWindowTest.cpp)

# Installs into a temporary DESTDIR and starts the installed program as an unprivileged user.
if(TARGET tolvane)
  add_test(NAME install_test
           COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/app/install_test.sh ${CMAKE_BINARY_DIR}
                   ${PROJECT_VERSION})
  set_tests_properties(install_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 60)
endif()
