list(APPEND TOLVANE_CORE_SOURCES
  src/core/lists/FileCommands.cpp
  src/core/lists/ListCommands.cpp
  src/core/lists/ListEditorForm.cpp
  src/core/lists/ListSaveSequence.cpp
  src/core/lists/ListStore.cpp
  src/core/lists/MainLists.cpp
)
