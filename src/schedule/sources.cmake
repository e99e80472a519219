list(APPEND TOLVANE_CORE_SOURCES
  src/schedule/ScheduleTicker.cpp
  src/schedule/TimerEntry.cpp
  src/schedule/TimerEntryForm.cpp
  src/schedule/TimerFile.cpp
  src/schedule/TimerListModel.cpp
  src/schedule/TimerSetting.cpp
  src/schedule/TimerSettingsCommand.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
  src/schedule/CtimeraddDlg.cpp
  src/schedule/CtimerDlg.cpp
  src/schedule/LogindShutdown.cpp
)
