list(APPEND TOLVANE_CORE_SOURCES
  src/core/schedule/ClockGap.cpp
  src/core/schedule/ScheduleTicker.cpp
  src/core/schedule/TimerEntry.cpp
  src/core/schedule/TimerEntryForm.cpp
  src/core/schedule/TimerFile.cpp
  src/core/schedule/TimerListForm.cpp
  src/core/schedule/TimerSetting.cpp
  src/core/schedule/TimerSettingsCommand.cpp
)
