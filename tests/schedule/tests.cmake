list(APPEND CORE_TEST_SOURCES
  schedule/LoadScheduleTest.cpp
  schedule/ScheduleTickerTest.cpp
  schedule/TimerEntryFormTest.cpp
  schedule/TimerEntryTest.cpp
  schedule/TimerFileTest.cpp
  schedule/TimerListModelTest.cpp
)

tolvane_gui_test(ctimerdlg_test schedule/CtimerDlgTest.cpp)
