list(APPEND CORE_TEST_SOURCES
  commands/FileCommandsTest.cpp
)
tolvane_gui_test(qt_launcher_test commands/QtLauncherTest.cpp)
