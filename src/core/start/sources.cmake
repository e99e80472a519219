list(APPEND TOLVANE_CORE_SOURCES
  src/core/start/AboutText.cpp
  src/core/start/CommandLine.cpp
  src/core/start/ProgramFolder.cpp
  src/core/start/ProgramStart.cpp
)
