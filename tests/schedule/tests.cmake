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

# The real program against the local FTP server.
tolvane_program_test(timer_end_to_end_test schedule/TimerEndToEndTest.cpp
                     TIMEOUT 150 ENVIRONMENT "LANG=C.UTF-8")
