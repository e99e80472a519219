list(APPEND TOLVANE_CORE_SOURCES
  src/app/AppSettings.cpp
  src/app/PasswordScrambler.cpp
  src/app/ProgramFolderLock.cpp
  src/app/ProgramStart.cpp
  src/app/SettingsFile.cpp
  src/app/TrayController.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
  src/app/AppIcon.cpp
  src/app/CmainApp.cpp
  src/app/CmainDlg.cpp
  src/app/CmainDlgCommands.cpp
  src/app/DialogFrame.cpp
  src/app/QtClock.cpp
  src/app/QtPrompts.cpp
  src/app/QtTrayIcon.cpp
)
