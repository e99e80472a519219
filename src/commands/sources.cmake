list(APPEND TOLVANE_CORE_SOURCES
  src/commands/FileCommands.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
  src/commands/QtLauncher.cpp
)
