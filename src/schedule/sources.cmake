list(APPEND TOLVANE_CORE_SOURCES
  src/schedule/ScheduleTicker.cpp
  src/schedule/TimerEntry.cpp
  src/schedule/TimerFile.cpp
  src/schedule/TimerSetting.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
  src/schedule/LogindShutdown.cpp
)
