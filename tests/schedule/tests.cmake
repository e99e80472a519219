list(APPEND CORE_TEST_SOURCES
  schedule/DaySelectionTest.cpp
  schedule/ScheduleTickerTest.cpp
  schedule/TimerEntryFormTest.cpp
  schedule/TimerEntryTest.cpp
  schedule/TimerFileTest.cpp
  schedule/TimerListFormTest.cpp
)

tolvane_gui_test(timer_list_dialog_test schedule/TimerListDialogTest.cpp)
tolvane_gui_test(timer_menu_test schedule/TimerMenuTest.cpp)

# The real program against the local FTP server; it needs the executable built first.
if(TARGET tolvane)
  add_executable(timer_end_to_end_test schedule/TimerEndToEndTest.cpp)
  target_link_libraries(timer_end_to_end_test PRIVATE tolvane_test_support GTest::gtest_main)
  add_dependencies(timer_end_to_end_test tolvane)
  add_test(NAME timer_end_to_end_test COMMAND timer_end_to_end_test)
  set_tests_properties(timer_end_to_end_test PROPERTIES TIMEOUT 150 ENVIRONMENT "LANG=C.UTF-8")
endif()
