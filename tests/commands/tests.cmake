list(APPEND CORE_TEST_SOURCES
  commands/FileCommandsTest.cpp
)
tolvane_gui_test(qt_launcher_test commands/QtLauncherTest.cpp)
tolvane_gui_test(file_clock_menu_test commands/FileAndClockMenuTest.cpp)
tolvane_gui_test(run_log_window_test commands/RunLogWindowTest.cpp)
