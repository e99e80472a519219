list(APPEND TOLVANE_CORE_SOURCES
  src/platform/AsciiText.cpp
  src/platform/AtomicFile.cpp
  src/platform/Cp932.cpp
  src/platform/IntegerText.cpp
  src/platform/LineFile.cpp
  src/platform/LocalTime.cpp
  src/platform/ProfileFile.cpp
  src/platform/SystemClock.cpp
  src/platform/TerminationSignals.cpp
)
list(APPEND TOLVANE_GUI_SOURCES
)
