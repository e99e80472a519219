list(APPEND TOLVANE_CORE_SOURCES
  src/core/start/ProgramStart.cpp
)
