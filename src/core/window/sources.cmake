list(APPEND TOLVANE_CORE_SOURCES
  src/core/window/ProgramFolderLock.cpp
  src/core/window/TrayController.cpp
)
