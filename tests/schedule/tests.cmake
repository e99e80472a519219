list(APPEND CORE_TEST_SOURCES
  schedule/LoadScheduleTest.cpp
  schedule/ScheduleTickerTest.cpp
  schedule/TimerEntryTest.cpp
  schedule/TimerFileTest.cpp
)
