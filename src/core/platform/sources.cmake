list(APPEND TOLVANE_CORE_SOURCES
  src/core/platform/AsciiText.cpp
  src/core/platform/AtomicFile.cpp
  src/core/platform/Cp932.cpp
  src/core/platform/IntegerText.cpp
  src/core/platform/LineFile.cpp
  src/core/platform/LockFile.cpp
  src/core/platform/LocalTime.cpp
  src/core/platform/ProfileFile.cpp
  src/core/platform/SystemClock.cpp
  src/core/platform/TerminationSignals.cpp
)
