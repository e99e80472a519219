list(APPEND TOLVANE_CORE_SOURCES
  src/app/AppSettings.cpp
  src/app/PasswordScrambler.cpp
  src/app/SettingsFile.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
)
